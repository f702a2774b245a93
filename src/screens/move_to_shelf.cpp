#include "screens/move_to_shelf.h"

#include "render/primitives.h"
#include "state/interface_texts.h"
#include "state/reader_state.h"

#include <algorithm>

namespace pagora {

namespace {

constexpr int kSlots = 9;
constexpr int kSlotWidth = 16;
constexpr int kSlotHeight = 25;
constexpr int kButtonWidth = 60;
constexpr int kCancelOffset = 62;

// Left edge of the slot row: slot s starts at rowOrigin + slotX[s - 1].
int rowOrigin(const ReaderState &s)
{
    return s.layout.leftMargin - s.layout.slotX[0] + 16;
}

int rowEnd(const ReaderState &s)
{
    return rowOrigin(s) + s.layout.slotX[8] + (s.layout.slotX[1] - s.layout.slotX[0]);
}

// Slot of a target shelf: the current shelf is not offered, so the main shelf
// takes slot 1 on a numbered shelf and the digits after it move up by one.
int slotOfTarget(int shelf, int target)
{
    if (shelf == 0)
        return target;
    return target < shelf ? target + 1 : target;
}

int targetOfSlot(int shelf, int slot)
{
    return shelf > 0 && shelf >= slot ? slot - 1 : slot;
}

void invertSlot(Surface &surface, const ReaderState &s, int slot)
{
    surface.invertRect(rowOrigin(s) + s.layout.slotX[std::size_t(slot - 1)], s.layout.bottomBarTop - 3, kSlotWidth,
                       kSlotHeight);
}

// The inside of the panel's button whose left edge is left: what a press inverts.
PixelRect buttonInside(const ReaderState &s, int left)
{
    return {left + 2, s.layout.bottomBarTop + 2, kButtonWidth - 4, s.layout.barHeight - 8};
}

} // namespace

MoveChoice settledMoveChoice(const Shelf &shelf)
{
    MoveChoice choice;
    choice.target = shelf.moveTarget;
    if (choice.target < 0 || choice.target > 9)
        choice.target = 0;
    // A book cannot be moved to the shelf it is on.
    if (shelf.currentShelf == 0 && choice.target == 0)
        choice.target = 1;
    choice.slot =
        std::int16_t(std::clamp(slotOfTarget(std::clamp<int>(shelf.currentShelf, 0, 9), choice.target), 1, kSlots));
    return choice;
}

void paintMoveToShelfPanel(const Canvas &canvas, const ReaderState &s)
{
    if (s.shelf.bookCount() == 0)
        return;
    const TextPaint ink = interfaceText(canvas.fonts);
    const Colour fill = s.look.panelColour;

    const int left = s.layout.panelButtonsLeft;
    const int buttonBottom = s.layout.bottomBarTop + s.layout.barHeight - 4;
    canvas.surface.drawRoundRect(0, s.layout.buttonRowTop, s.window.clientWidth, s.window.clientHeight, fill);
    canvas.surface.drawRoundRect(left, s.layout.bottomBarTop, left + kButtonWidth, buttonBottom, fill);
    canvas.surface.drawRoundRect(left + kCancelOffset, s.layout.bottomBarTop, left + kCancelOffset + kButtonWidth,
                                 buttonBottom, fill);

    const BookEntry *entry = s.shelf.selectedEntry();
    const std::u16string title = entry ? entry->title : std::u16string();
    canvas.surface.drawText(10, s.layout.buttonRowTop + s.layout.barTextInset, u"將《" + title + u"》移至書架：", ink);
    const int captionTop = s.layout.bottomBarTop + (s.layout.barHeight - 20) / 2;
    canvas.surface.drawText(left + 14, captionTop, texts::ok, ink);
    canvas.surface.drawText(left + 76, captionTop, texts::cancel, ink);

    const int ox = rowOrigin(s);
    const int shelf = std::clamp<int>(s.shelf.currentShelf, 0, 9);
    if (shelf != 0)
        canvas.surface.drawText(ox + s.layout.slotX[0] - 1, s.layout.bottomBarTop, texts::mainShelf, ink);
    for (int slot = shelf == 0 ? 1 : 2; slot <= kSlots; ++slot) {
        const int target = targetOfSlot(shelf, slot);
        canvas.surface.drawText(ox + s.layout.slotX[std::size_t(slot - 1)] + 4, s.layout.bottomBarTop,
                                std::u16string(1, char16_t(u'0' + target)), ink);
    }
    if (s.shelf.moveSlot >= 1 && s.shelf.moveSlot <= kSlots)
        invertSlot(canvas.surface, s, s.shelf.moveSlot);
}

MovePanelStep movePanelPointer(const ReaderState &s, int x, int y)
{
    MovePanelStep step;
    step.choice = {s.shelf.moveTarget, s.shelf.moveSlot};
    const int ox = rowOrigin(s);
    if (y < s.layout.bottomBarTop - 3 || y > s.layout.bottomBarTop + s.layout.barHeight - 8 || x < ox)
        return step;
    std::int16_t &marked = step.choice.slot;
    if (marked < 1 || marked > kSlots)
        marked = 1;

    if (x < rowEnd(s)) {
        if (s.pointer.pointerPhase() != PointerPhase::Press)
            return step;
        int slot = kSlots;
        for (int i = 1; i <= 8; ++i)
            if (x < ox + s.layout.slotX[std::size_t(i)]) {
                slot = i;
                break;
            }
        marked = std::int16_t(slot);
        return step;
    }

    const int left = s.layout.panelButtonsLeft;
    const bool ok = x >= left + 2 && x <= left + 62;
    const bool cancel = x >= left + 64 && x <= left + 124;
    if (!ok && !cancel)
        return step;
    if (s.pointer.pointerPhase() != PointerPhase::Press && s.pointer.pointerPhase() != PointerPhase::Release)
        return step;
    if (s.pointer.pointerPhase() == PointerPhase::Press) {
        step.held = buttonInside(s, ok ? left : left + kCancelOffset);
        return step;
    }
    if (cancel) {
        step.action = MovePanelAction::Cancel;
        return step;
    }
    step.choice.target = std::int16_t(targetOfSlot(std::clamp<int>(s.shelf.currentShelf, 0, 9), marked));
    step.action = MovePanelAction::Move;
    return step;
}

PixelRect moveSlotPlace(const ReaderState &s, int slot)
{
    slot = std::clamp(slot, 1, kSlots);
    return {rowOrigin(s) + s.layout.slotX[std::size_t(slot - 1)], s.layout.bottomBarTop - 3, kSlotWidth, kSlotHeight};
}

PixelRect moveButtonPlace(const ReaderState &s, bool ok)
{
    // The part of the button where both press and release act.
    const int left = s.layout.panelButtonsLeft + (ok ? 2 : 64);
    return {left, s.layout.bottomBarTop - 3, kButtonWidth, s.layout.barHeight - 5};
}

int moveSlotShelf(const ReaderState &s, int slot)
{
    return targetOfSlot(std::clamp<int>(s.shelf.currentShelf, 0, 9), slot);
}

} // namespace pagora
