#include "test_platform.h"

#include "text/codec.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace pagora {

FontHandle RecordingSurface::createFont(const FontRequest &request)
{
    fonts.push_back(request);
    fontAlive.push_back(true);
    calls.push_back({"createFont", request.height, request.escapement, 0, 0, {}, 0, int(fonts.size() - 1)});
    return FontHandle(fonts.size() - 1);
}

void RecordingSurface::deleteFont(FontHandle font)
{
    if (font >= 0 && std::size_t(font) < fontAlive.size())
        fontAlive[std::size_t(font)] = false;
    calls.push_back({"deleteFont", 0, 0, 0, 0, {}, 0, font});
}

void RecordingSurface::drawText(int x, int y, std::u16string_view text, const TextPaint &paint)
{
    calls.push_back({"text", x, y, 0, 0, std::u16string(text), paint.colour, paint.font});
}

void RecordingSurface::drawCellGlyph(int x, int y, char16_t u, GlyphPose pose, const TextPaint &paint)
{
    const int poseBits = (pose.turned ? 1 : 0) | (pose.inkCentred ? 2 : 0);
    calls.push_back({"glyph", x, y, poseBits, 0, std::u16string(1, u), paint.colour, paint.font});
}

bool RecordingSurface::hasGlyph(FontHandle, char16_t u)
{
    return missingGlyphs.find(u) == std::u16string::npos;
}

int RecordingSurface::textWidth(FontHandle font, std::u16string_view text)
{
    const int em = (font >= 0 && std::size_t(font) < fonts.size()) ? fonts[std::size_t(font)].height : 16;
    int w = 0;
    for (char16_t c : text)
        w += c > 0xFF ? em : em / 2;
    return w;
}

void RecordingSurface::drawLine(int x1, int y1, int x2, int y2)
{
    calls.push_back({"line", x1, y1, x2, y2, {}, 0, kNoFont});
}

void RecordingSurface::drawRoundRect(int left, int top, int right, int bottom, Colour fill)
{
    calls.push_back({"roundRect", left, top, right, bottom, {}, fill, kNoFont});
}

void RecordingSurface::fillRect(int left, int top, int right, int bottom, Colour colour)
{
    calls.push_back({"fill", left, top, right, bottom, {}, colour, kNoFont});
}

void RecordingSurface::invertRects(std::span<const PixelRect> rects)
{
    for (PixelRect r : rects) {
        for (const PixelRect &clip : clips_) {
            const int right = std::min(r.x + r.width, clip.x + clip.width);
            const int bottom = std::min(r.y + r.height, clip.y + clip.height);
            r.x = std::max(r.x, clip.x), r.y = std::max(r.y, clip.y);
            r.width = right - r.x, r.height = bottom - r.y;
        }
        if (r.width > 0 && r.height > 0)
            calls.push_back({"invert", r.x, r.y, r.width, r.height, {}, 0, kNoFont});
    }
}

void RecordingSurface::drawClipped(int left, int top, int right, int bottom, const std::function<void()> &draw)
{
    calls.push_back({"clip", left, top, right, bottom, {}, 0, kNoFont, int(clips_.size())});
    clips_.push_back({left, top, right - left, bottom - top});
    draw();
    clips_.pop_back();
}

std::vector<RecordingSurface::Call> RecordingSurface::callsOf(const std::string &op) const
{
    std::vector<Call> out;
    for (const Call &c : calls)
        if (c.op == op)
            out.push_back(c);
    return out;
}

std::vector<std::u16string> RecordingSurface::texts() const
{
    std::vector<std::u16string> out;
    for (const Call &c : calls)
        if (c.op == "text")
            out.push_back(c.text);
    return out;
}

void ScriptedDialogs::showMessage(std::u16string_view text)
{
    messages.emplace_back(text);
}

bool ScriptedDialogs::askYesNo(std::u16string_view text)
{
    questions.emplace_back(text);
    if (yesNoAnswers.empty())
        return false;
    bool a = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return a;
}

bool ScriptedDialogs::chooseFont(std::string &face, int &height)
{
    fontPresets.emplace_back(face, height);
    if (fontAnswers.empty())
        return false;
    auto a = fontAnswers.front();
    fontAnswers.pop_front();
    if (!a)
        return false;
    face = a->face;
    height = a->height;
    return true;
}

bool ScriptedDialogs::chooseFolder(std::u16string_view caption, std::string &folder)
{
    folderCaptions.emplace_back(caption);
    folderPresets.push_back(folder);
    if (folderAnswers.empty())
        return false;
    auto a = folderAnswers.front();
    folderAnswers.pop_front();
    if (!a)
        return false;
    folder = *a;
    return true;
}

std::vector<std::string> ScriptedDialogs::chooseFilesToOpen()
{
    if (fileAnswers.empty())
        return {};
    std::vector<std::string> a = std::move(fileAnswers.front());
    fileAnswers.pop_front();
    return a;
}

bool ScriptedDialogs::editNote(std::u16string_view, std::u16string_view, std::u16string &note)
{
    notePresets.push_back(note);
    if (noteAnswers.empty() || !noteAnswers.front()) {
        if (!noteAnswers.empty())
            noteAnswers.pop_front();
        return false;
    }
    note = *noteAnswers.front();
    noteAnswers.pop_front();
    return true;
}

std::string ScriptedDialogs::chooseSaveFile(std::u16string_view, const std::string &suggested)
{
    savePresets.push_back(suggested);
    if (saveAnswers.empty())
        return {};
    std::string a = std::move(saveAnswers.front());
    saveAnswers.pop_front();
    return a;
}

void FakeWindowHost::setWindowState(WindowState s)
{
    state = s;
    stateChanges.push_back(s);
    if (onStateChanged)
        onStateChanged(s);
}

void FakeTextBox::create(int cx, int cy, int cw, int ch)
{
    created = true;
    ++createCount;
    x = cx, y = cy, w = cw, h = ch;
}

TempDir::TempDir()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "pagora-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = tmpl + "/";
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Read-only folders made by a test must not stop the clean-up.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ec);
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

void writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), std::streamsize(bytes.size()));
}

void enterPhase(Pointer &pointer, PointerPhase phase)
{
    switch (phase) {
    case PointerPhase::Press: pointer.press(); break;
    case PointerPhase::Drag: pointer.drag(); break;
    case PointerPhase::Release: pointer.release(); break;
    case PointerPhase::NoPhase: break;
    }
}

std::string readFile(const std::string &path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::ostream &operator<<(std::ostream &out, Screen screen)
{
    return out << static_cast<int>(screen);
}

std::ostream &operator<<(std::ostream &out, PointerPhase phase)
{
    return out << static_cast<int>(phase);
}

} // namespace pagora
