#pragma once
#include "platform/dialogs.h"

class QWidget;

namespace pagora {

// Qt's own (non-native) dialogs, so that they look the same everywhere and can
// be driven in window tests.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget *parent) : m_parent(parent) {}
    void showMessage(std::u16string_view text) override;
    bool askYesNo(std::u16string_view text) override;
    int askOneOfThree(std::u16string_view text, std::u16string_view first, std::u16string_view second,
                      std::u16string_view third) override;
    bool chooseFont(std::string &face, int &height) override;
    Answer askEitherOr(std::u16string_view text, std::u16string_view first, std::u16string_view second) override;
    bool chooseFolder(std::u16string_view caption, std::string &folder) override;
    std::vector<std::string> chooseFilesToOpen() override;
    bool editNote(std::u16string_view caption, std::u16string_view passage, std::u16string &note) override;
    std::string chooseSaveFile(std::u16string_view caption, const std::string &suggested) override;
    bool chooseVoice(const std::vector<Voice> &voices, int &chosen, int &rate) override;
    // Qt's own words in the dialogs (buttons, labels) in the reader's language.
    static void loadQtTranslations();

private:
    QWidget *m_parent;
    std::string m_openFolder; // where the file dialog opened last
};

} // namespace pagora
