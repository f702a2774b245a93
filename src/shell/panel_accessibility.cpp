#include "shell/panel_accessibility.h"

#include "app/reader.h"
#include "shell/mpanel.h"
#include "state/interface_texts.h"
#include "state/reader_state.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace pagora {

namespace {

using Kind = AccessiblePart::Kind;

QString toQString(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size()));
}

constexpr std::array<Screen, 7> kScreens = {Screen::ShelfScreen,     Screen::ReadingScreen,  Screen::MenuScreen,
                                            Screen::HelpScreen,      Screen::ContentsScreen, Screen::NotesScreen,
                                            Screen::MoveToShelfPanel};

int slotOf(Screen screen)
{
    const auto at = std::find(kScreens.begin(), kScreens.end(), screen);
    return at == kScreens.end() ? 0 : int(at - kScreens.begin());
}

AccessiblePart *grownPart(MPanel *panel, std::vector<AccessiblePart *> &pool, Kind kind, int index)
{
    while (int(pool.size()) <= index)
        pool.push_back(new AccessiblePart(panel, kind, int(pool.size())));
    return pool[std::size_t(index)];
}

QAccessibleInterface *interfaceOf(QObject *object)
{
    return object ? QAccessible::queryAccessibleInterface(object) : nullptr;
}

// A tap as the panel takes one, after the caller (an assistive technology
// waiting for its answer) has been answered: a tap may open a dialog. While a
// dialog is open the panel takes no taps, as it takes no clicks.
void tapLater(MPanel *panel, const ShownItem &item)
{
    QTimer::singleShot(0, panel, [panel, item] {
        if (QGuiApplication::modalWindow())
            return;
        tapItem(panel->reader(), item);
        announceChanges(panel->accessibleParts());
    });
}

// Every part is one of these: which methods answer depends on its kind.
class PartInterface final : public QAccessibleInterface,
                            public QAccessibleTextInterface,
                            public QAccessibleActionInterface {
public:
    explicit PartInterface(AccessiblePart *part) : m_part(part) {}

    bool isValid() const override
    {
        if (!m_part || !m_part->panel())
            return false;
        switch (m_part->kind) {
        case Kind::Item: return m_part->index < int(view().list.size());
        case Kind::Button: return m_part->index < int(view().buttons.size());
        default: return true;
        }
    }
    QObject *object() const override { return m_part; }
    QWindow *window() const override
    {
        const QWidget *top = panel()->window();
        return top ? top->windowHandle() : nullptr;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface *c = child(i); c && c->rect().contains(x, y))
                return c;
        return nullptr;
    }
    QAccessibleInterface *parent() const override
    {
        AccessibleParts &a = parts();
        switch (m_part->kind) {
        case Kind::Screen: return interfaceOf(panel());
        case Kind::Item: return interfaceOf(a.list);
        default: return interfaceOf(a.screens[std::size_t(slotOf(reader().currentScreen))]);
        }
    }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        AccessibleParts &a = parts();
        if (m_part->kind == Kind::List)
            return interfaceOf(grownPart(panel(), a.items, Kind::Item, index));
        // A screen: its text, its list, then its buttons.
        const ShownScreen v = view();
        if (v.hasText && index-- == 0)
            return interfaceOf(a.text);
        if (!v.list.empty() && index-- == 0)
            return interfaceOf(a.list);
        return interfaceOf(grownPart(panel(), a.buttons, Kind::Button, index));
    }
    int childCount() const override
    {
        if (m_part->kind == Kind::List)
            return int(view().list.size());
        if (m_part->kind != Kind::Screen || !isShown())
            return 0;
        const ShownScreen v = view();
        return int(v.hasText) + int(!v.list.empty()) + int(v.buttons.size());
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child)
                return i;
        return -1;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return {};
        switch (m_part->kind) {
        case Kind::Screen: return toQString(screenName(reader(), kScreens[std::size_t(m_part->index)]));
        case Kind::Text:
        case Kind::List: return toQString(view().name);
        case Kind::Item: return isValid() ? toQString(view().list[std::size_t(m_part->index)].label) : QString();
        case Kind::Button: return isValid() ? toQString(view().buttons[std::size_t(m_part->index)].label) : QString();
        }
        return {};
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        const QRect whole(panel()->mapToGlobal(QPoint(0, 0)), panel()->size());
        if ((m_part->kind != Kind::Item && m_part->kind != Kind::Button) || !isValid())
            return whole;
        const PixelRect p = item().place;
        return {panel()->mapToGlobal(QPoint(p.x, p.y)), QSize(p.width, p.height)};
    }
    QAccessible::Role role() const override
    {
        switch (m_part->kind) {
        case Kind::Screen: return QAccessible::Pane;
        case Kind::Text: return QAccessible::EditableText;
        case Kind::List: return QAccessible::List;
        case Kind::Item: return QAccessible::ListItem;
        case Kind::Button: return QAccessible::Button;
        }
        return QAccessible::NoRole;
    }
    QAccessible::State state() const override
    {
        QAccessible::State st;
        const bool shown = isShown();
        st.invisible = !shown;
        st.focusable = m_part->kind == Kind::Screen || m_part->kind == Kind::Text;
        st.focused = m_part->kind == Kind::Screen && shown && panel()->hasFocus();
        if (m_part->kind == Kind::Text) {
            st.readOnly = true;
            st.multiLine = true;
            st.selectableText = true;
        }
        if ((m_part->kind == Kind::Item || m_part->kind == Kind::Button) && isValid()) {
            st.selectable = m_part->kind == Kind::Item;
            st.selected = st.checked = item().isChosen;
        }
        return st;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface && m_part->kind == Kind::Text)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::ActionInterface && !actionNames().isEmpty())
            return static_cast<QAccessibleActionInterface *>(this);
        return nullptr;
    }

    // The text shown, from the first character shown.
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        const auto [start, end] = selectedRange();
        if (selectionIndex == 0 && start < end)
            *startOffset = start, *endOffset = end;
    }
    int selectionCount() const override
    {
        const auto [start, end] = selectedRange();
        return start < end ? 1 : 0;
    }
    // Choosing text happens on the panel, as a person drags over it.
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    // The page has no caret of its own: reading begins at its first character.
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override
    {
        const std::u16string &t = shown().text;
        const int n = int(t.size());
        startOffset = std::clamp(startOffset, 0, n);
        endOffset = endOffset < 0 ? n : std::clamp(endOffset, startOffset, n);
        return toQString(std::u16string_view(t).substr(std::size_t(startOffset), std::size_t(endOffset - startOffset)));
    }
    // Lines are the page's columns; the other units are Qt's.
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset,
                         int *endOffset) const override
    {
        if (type != QAccessible::LineBoundary)
            return QAccessibleTextInterface::textAtOffset(offset, type, startOffset, endOffset);
        return lineAt(offset, startOffset, endOffset);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset,
                             int *endOffset) const override
    {
        if (type != QAccessible::LineBoundary)
            return QAccessibleTextInterface::textBeforeOffset(offset, type, startOffset, endOffset);
        int start = 0, end = 0;
        lineAt(offset, &start, &end);
        if (start == 0) {
            *startOffset = *endOffset = -1;
            return {};
        }
        return lineAt(start - 1, startOffset, endOffset);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset,
                            int *endOffset) const override
    {
        if (type != QAccessible::LineBoundary)
            return QAccessibleTextInterface::textAfterOffset(offset, type, startOffset, endOffset);
        int start = 0, end = 0;
        lineAt(offset, &start, &end);
        if (end >= characterCount()) {
            *startOffset = *endOffset = -1;
            return {};
        }
        return lineAt(end, startOffset, endOffset);
    }
    int characterCount() const override { return int(shown().text.size()); }
    QRect characterRect(int offset) const override
    {
        const ShownText &t = shown();
        if (offset < 0 || offset >= int(t.cells.size()) || t.cells[std::size_t(offset)].width == 0)
            return {};
        const PixelRect c = t.cells[std::size_t(offset)];
        return {panel()->mapToGlobal(QPoint(c.x, c.y)), QSize(c.width, c.height)};
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint p = panel()->mapFromGlobal(point);
        const ShownText &t = shown();
        for (std::size_t i = 0; i < t.cells.size(); ++i) {
            const PixelRect &c = t.cells[i];
            if (c.width > 0 && p.x() >= c.x && p.x() < c.x + c.width && p.y() >= c.y && p.y() < c.y + c.height)
                return int(i);
        }
        return -1;
    }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

    // Buttons and entries are pressed; the page turns.
    QStringList actionNames() const override
    {
        if (m_part->kind == Kind::Item || m_part->kind == Kind::Button)
            return {pressAction()};
        if (m_part->kind == Kind::Text && reader().currentScreen == Screen::ReadingScreen)
            return {nextPageAction(), previousPageAction()};
        return {};
    }
    QString localizedActionName(const QString &name) const override
    {
        if (name == nextPageAction() || name == previousPageAction())
            return toQString(pageTurnItem(reader(), name == nextPageAction()).label);
        return QAccessibleActionInterface::localizedActionName(name);
    }
    void doAction(const QString &name) override
    {
        if (!isValid() || !actionNames().contains(name))
            return;
        if (m_part->kind == Kind::Text)
            tapLater(panel(), pageTurnItem(reader(), name == nextPageAction()));
        else
            tapLater(panel(), item());
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    MPanel *panel() const { return m_part->panel(); }
    AccessibleParts &parts() const { return panel()->accessibleParts(); }
    const ReaderState &reader() const { return panel()->reader().state; }
    ShownScreen view() const { return shownScreen(reader()); }
    const ShownText &shown() const { return currentText(parts()); }
    bool isShown() const
    {
        if (m_part->kind == Kind::Screen)
            return m_part->index == slotOf(reader().currentScreen);
        return isValid();
    }
    ShownItem item() const
    {
        const ShownScreen v = view();
        return m_part->kind == Kind::Item ? v.list[std::size_t(m_part->index)] : v.buttons[std::size_t(m_part->index)];
    }
    std::pair<int, int> selectedRange() const
    {
        const ShownText &t = shown();
        const Selection &sel = reader().book.selection;
        if (sel.isEmpty() || reader().currentScreen != Screen::ReadingScreen)
            return {0, 0};
        const int n = int(t.text.size());
        const int start = std::clamp(sel.start - t.start, 0, n);
        return {start, std::clamp(sel.start + sel.length - t.start, start, n)};
    }
    QString lineAt(int offset, int *startOffset, int *endOffset) const
    {
        const ShownText &t = shown();
        const int n = int(t.text.size());
        offset = std::clamp(offset, 0, n);
        auto next = std::upper_bound(t.lineStarts.begin(), t.lineStarts.end(), offset);
        *startOffset = next == t.lineStarts.begin() ? 0 : *(next - 1);
        *endOffset = next == t.lineStarts.end() ? n : *next;
        return text(*startOffset, *endOffset);
    }

    QPointer<AccessiblePart> m_part;
};

// The panel: its shown screen first, then its child widgets (the search box).
class PanelInterface final : public QAccessibleWidget {
public:
    explicit PanelInterface(MPanel *panel) : QAccessibleWidget(panel, QAccessible::Client) {}

    MPanel *panel() const { return static_cast<MPanel *>(widget()); }
    QAccessibleInterface *screen() const
    {
        return interfaceOf(
            panel()->accessibleParts().screens[std::size_t(slotOf(panel()->reader().state.currentScreen))]);
    }

    int childCount() const override { return 1 + QAccessibleWidget::childCount(); }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? screen() : QAccessibleWidget::child(index - 1);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (child == screen())
            return 0;
        const int i = QAccessibleWidget::indexOfChild(child);
        return i < 0 ? -1 : i + 1;
    }
    QAccessibleInterface *focusChild() const override { return panel()->hasFocus() ? screen() : nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? toQString(texts::applicationTitle) : QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *panelFactory(const QString &, QObject *object)
{
    if (auto *panel = qobject_cast<MPanel *>(object))
        return new PanelInterface(panel);
    if (auto *part = dynamic_cast<AccessiblePart *>(object))
        return new PartInterface(part);
    return nullptr;
}

// What a change of any would change in what is read out.
ToldView toldNow(const ReaderState &s)
{
    ToldView v;
    v.screen = std::int16_t(s.currentScreen);
    v.shown = {s.book.currentSection,
               s.book.pages.shownPageStart(),
               s.book.textLength(),
               s.shelf.shelfPageFirst,
               s.shelf.bookCount(),
               s.shelf.selectedBook(),
               s.shelf.currentShelf,
               s.shelf.helpPage,
               s.book.contentsFirst,
               s.book.notes.first,
               std::int32_t(s.book.notes.entries.size()),
               s.menu.searchMode + 2 * s.menu.bookmarkMode + 4 * s.bookmarks.pageHasBookmark,
               s.window.clientWidth,
               s.window.clientHeight};
    if (!s.book.selection.isEmpty()) {
        v.selectionStart = s.book.selection.start;
        v.selectionEnd = s.book.selection.start + s.book.selection.length;
    }
    return v;
}

std::array<std::intptr_t, 12> textKeyOf(const ReaderState &s)
{
    return {std::intptr_t(s.currentScreen),
            s.shelf.helpPage,
            s.book.currentSection,
            s.book.pages.shownPageStart(),
            s.book.textLength(),
            reinterpret_cast<std::intptr_t>(s.book.sectionText().data()),
            s.window.clientWidth,
            s.window.clientHeight,
            s.window.verticalMargin * 4096 + s.window.horizontalMargin,
            s.look.baseFontSize,
            s.look.sizeStep(),
            s.look.chineseBreaks};
}

} // namespace

AccessiblePart::AccessiblePart(MPanel *panel, Kind kind, int index) : QObject(panel), kind(kind), index(index) {}

MPanel *AccessiblePart::panel() const
{
    return static_cast<MPanel *>(parent());
}

AccessibleParts::AccessibleParts(MPanel *panel) : panel(panel)
{
    for (std::size_t i = 0; i < screens.size(); ++i)
        screens[i] = new AccessiblePart(panel, Kind::Screen, int(i));
    text = new AccessiblePart(panel, Kind::Text, 0);
    list = new AccessiblePart(panel, Kind::List, 0);
}

// The parts go before the panel's reader does: nothing asks a part about a
// reader being taken down.
AccessibleParts::~AccessibleParts()
{
    for (AccessiblePart *p : screens)
        delete p;
    delete text;
    delete list;
    for (AccessiblePart *p : items)
        delete p;
    for (AccessiblePart *p : buttons)
        delete p;
}

void installPanelAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(panelFactory);
        return true;
    }();
    (void)installed;
}

const ShownText &currentText(AccessibleParts &parts)
{
    const ReaderState &s = parts.panel->reader().state;
    const auto key = textKeyOf(s);
    if (!parts.hasText || key != parts.textKey) {
        parts.shownText = shownText(s);
        parts.textKey = key;
        parts.hasText = true;
    }
    return parts.shownText;
}

void announceChanges(AccessibleParts &parts)
{
    if (!QAccessible::isActive()) {
        // Whoever listens next starts from the screen as it is then.
        parts.hasTold = false;
        return;
    }
    const ReaderState &s = parts.panel->reader().state;
    const ToldView now = toldNow(s);
    if (parts.hasTold && now == parts.told)
        return;
    const ToldView before = parts.told;
    const bool first = !parts.hasTold;
    parts.told = now;
    parts.hasTold = true;
    AccessiblePart *screen = parts.screens[std::size_t(slotOf(s.currentScreen))];
    if (first || now.screen != before.screen) {
        QAccessibleEvent reorder(parts.panel, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
        QAccessibleEvent focus(screen, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
        // The text told of, so that a change can say what it replaces.
        if (shownScreen(s).hasText)
            currentText(parts);
        return;
    }
    if (now.shown != before.shown) {
        // The text last told of, unless a query has already built the new one.
        const QString oldText =
            parts.hasText && parts.textKey != textKeyOf(s) ? toQString(parts.shownText.text) : QString();
        const bool hasText = shownScreen(s).hasText;
        if (hasText) {
            QAccessibleTextUpdateEvent update(parts.text, 0, oldText, toQString(currentText(parts).text));
            QAccessible::updateAccessibility(&update);
            QAccessibleTextCursorEvent caret(parts.text, 0);
            QAccessible::updateAccessibility(&caret);
        }
        QAccessibleEvent reorder(screen, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
        QAccessibleEvent name(screen, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&name);
    }
    if (now.selectionStart != before.selectionStart || now.selectionEnd != before.selectionEnd) {
        const ShownText &t = currentText(parts);
        const int n = int(t.text.size());
        const int start = std::clamp(now.selectionStart - t.start, 0, n);
        const int end = std::clamp(now.selectionEnd - t.start, start, n);
        QAccessibleTextSelectionEvent selection(parts.text, start == end ? -1 : start, start == end ? -1 : end);
        QAccessible::updateAccessibility(&selection);
    }
}

} // namespace pagora
