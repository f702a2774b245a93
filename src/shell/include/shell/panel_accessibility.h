#pragma once
#include "app/shown_view.h"

#include <QObject>

#include <array>
#include <cstdint>
#include <vector>

namespace pagora {

class MPanel;

// One object of the panel's accessible tree: a screen, the text shown, the
// list, or one of the list's entries or the screen's buttons. Only a handle:
// its interface reads what it stands for from the reader when asked.
class AccessiblePart final : public QObject {
public:
    enum class Kind { Screen, Text, List, Item, Button };
    AccessiblePart(MPanel *panel, Kind kind, int index);

    MPanel *panel() const;
    const Kind kind;
    const int index; // the screen's slot, or the entry's or button's number
};

// What assistive technology was last told, to tell it only what changed.
struct ToldView {
    std::int16_t screen = -1;
    std::array<std::int32_t, 14> shown{};
    std::int32_t selectionStart = 0, selectionEnd = 0;
    bool operator==(const ToldView &) const = default;
};

// The panel's parts (children of the panel, so they go with it), the text
// last built and what it was built for.
struct AccessibleParts {
    explicit AccessibleParts(MPanel *panel);
    ~AccessibleParts();
    AccessibleParts(const AccessibleParts &) = delete;
    AccessibleParts &operator=(const AccessibleParts &) = delete;

    MPanel *panel;
    std::array<AccessiblePart *, 7> screens{};
    AccessiblePart *text = nullptr;
    AccessiblePart *list = nullptr;
    std::vector<AccessiblePart *> items, buttons;
    ToldView told;
    bool hasTold = false;
    ShownText shownText;
    std::array<std::intptr_t, 12> textKey{};
    bool hasText = false;
};

// Gives reader panels their accessible tree; once per program.
void installPanelAccessibility();
// The text shown, built when the shown page or screen differs from the last build.
const ShownText &currentText(AccessibleParts &parts);
// Tells listening assistive technology what changed since it was last told:
// a new screen, a turned page, a new selection. Nothing when none listens.
void announceChanges(AccessibleParts &parts);

} // namespace pagora
