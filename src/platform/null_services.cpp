#include "platform/null_services.h"

namespace pagora {

namespace {

class NoSurface final : public Surface {
public:
    FontHandle createFont(const FontRequest &) override { return kNoFont; }
    void deleteFont(FontHandle) override {}
    int textWidth(FontHandle, std::u16string_view) override { return 0; }
    bool hasGlyph(FontHandle, char16_t) override { return false; }
    void drawText(int, int, std::u16string_view, const TextPaint &) override {}
    void drawCellGlyph(int, int, char16_t, GlyphPose, const TextPaint &) override {}
    void drawLine(int, int, int, int) override {}
    void drawRoundRect(int, int, int, int, Colour) override {}
    void fillRect(int, int, int, int, Colour) override {}
    void invertRects(std::span<const PixelRect>) override {}
    void drawClipped(int, int, int, int, const std::function<void()> &draw) override { draw(); }
};

class NoDialogs final : public Dialogs {
public:
    void showMessage(std::u16string_view) override {}
    bool askYesNo(std::u16string_view) override { return false; }
    bool chooseFont(std::string &, int &) override { return false; }
    bool chooseFolder(std::u16string_view, std::string &) override { return false; }
};

class NoWindow final : public WindowHost {
public:
    void setCaption(std::u16string_view) override {}
    void setAutoSize(bool) override {}
    void setFrameless(bool) override {}
    void setWindowState(WindowState) override {}
    void setPanelSize(int, int) override {}
    int panelWidth() const override { return 0; }
    int panelHeight() const override { return 0; }
    void setFormSize(int, int) override {}
    int formWidth() const override { return 0; }
    int formHeight() const override { return 0; }
    int screenWidth() const override { return 1024; }
    int screenHeight() const override { return 768; }
    void focusPanel() override {}
    void close() override {}
};

class NoFiles final : public Files {
public:
    int openRead(const std::string &) override { return -1; }
    int createNew(std::string &) override { return -1; }
    void close(int) override {}
    std::int64_t size(int) override { return 0; }
    std::int64_t seek(int, std::int64_t) override { return -1; }
    std::int64_t read(int, void *, std::int64_t) override { return -1; }
    bool write(int, const void *, std::int64_t) override { return false; }
    bool flush(int) override { return false; }
    bool exists(const std::string &) override { return false; }
    bool isDirectory(const std::string &) override { return false; }
    bool isWritableDirectory(const std::string &) override { return false; }
    bool makeDirectory(const std::string &) override { return false; }
    bool remove(const std::string &) override { return false; }
    bool copy(const std::string &, const std::string &) override { return false; }
    bool rename(const std::string &, const std::string &) override { return false; }
    std::vector<std::string> list(const std::string &) override { return {}; }
};

class NoTextBox final : public TextBox {
public:
    bool isCreated() const override { return false; }
    void create(int, int, int, int) override {}
    void show() override {}
    void hide() override {}
    void focus() override {}
    std::u16string text() const override { return {}; }
};

class NoImporter final : public BookImporter {
public:
    bool isImportable(const std::string &) override { return false; }
    bool isMostlySimplified(const std::string &, std::u16string_view) override { return false; }
    Outcome importBook(const std::string &, const std::string &, bool, std::u16string_view, std::string &) override
    {
        return Outcome::Failed;
    }
};

} // namespace

Surface &noSurface()
{
    static NoSurface surface;
    return surface;
}

Dialogs &noDialogs()
{
    static NoDialogs dialogs;
    return dialogs;
}

WindowHost &noWindow()
{
    static NoWindow window;
    return window;
}

Files &noFiles()
{
    static NoFiles files;
    return files;
}

TextBox &noTextBox()
{
    static NoTextBox box;
    return box;
}

BookImporter &noImporter()
{
    static NoImporter importer;
    return importer;
}

} // namespace pagora

namespace pagora {

Speech &noSpeech()
{
    struct NoSpeech final : Speech {
        std::vector<Voice> voices() override { return {}; }
        bool setVoice(const Voice &) override { return false; }
        void setRate(double) override {}
        bool speak(std::u16string_view) override { return false; }
        void stop() override {}
    };
    static NoSpeech speech;
    return speech;
}

} // namespace pagora
