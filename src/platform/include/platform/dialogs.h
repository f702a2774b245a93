#pragma once
#include <string>
#include <string_view>

namespace pagora {

// Modal dialogs. Every message box carries the caption "Pagora 1.8".
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void showMessage(std::u16string_view text) = 0;
    // True for Yes.
    virtual bool askYesNo(std::u16string_view text) = 0;
    // Preset with face (UTF-8) and character height in pixels; on OK both hold
    // the choice and the result is true.
    virtual bool chooseFont(std::string &face, int &height) = 0;
    // On OK folder holds the chosen folder (UTF-8, no trailing separator
    // needed) and the result is true.
    virtual bool chooseFolder(std::u16string_view caption, std::string &folder) = 0;
};

} // namespace pagora
