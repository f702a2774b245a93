#pragma once
#include <string_view>

namespace pagora {

// What the desktop offers around the selected text: the clipboard, the X11
// primary selection and a dictionary program.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual void copyToClipboard(std::u16string_view text) = 0;
    // Empty text gives the primary selection up, if it is still ours.
    virtual void setPrimarySelection(std::u16string_view text) = 0;
    virtual bool hasDictionary() = 0;
    // Starts the dictionary on the word, detached; false when none starts.
    virtual bool openDictionary(std::u16string_view word) = 0;
};

// A desktop with no clipboard and no dictionary.
inline Desktop &noDesktop()
{
    class NoDesktop final : public Desktop {
        void copyToClipboard(std::u16string_view) override {}
        void setPrimarySelection(std::u16string_view) override {}
        bool hasDictionary() override { return false; }
        bool openDictionary(std::u16string_view) override { return false; }
    };
    static NoDesktop desktop;
    return desktop;
}

} // namespace pagora
