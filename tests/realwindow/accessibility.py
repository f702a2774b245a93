"""Reads the reader's page through the accessibility bus, as a screen reader
does, turns the page through its action and reads the next one.

Usage: accessibility.py SECTION_TEXT_FILE BOOK_TITLE
Prints what it found; exits non-zero on the first thing that is wrong.
"""
import sys
import time

import pyatspi


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def eventually(find, what, seconds=15):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = find()
        if found:
            return found
        time.sleep(0.25)
    fail("timed out waiting for " + what)


def walk(node, depth=0):
    if node is None or depth > 8:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def page_object():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None or app.name.lower() != "pagora":
            continue
        for node in walk(app):
            try:
                node.queryText()
            except NotImplementedError:
                continue
            if node.getRole() != pyatspi.ROLE_PUSH_BUTTON:
                return node
    return None


def page_text(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def main():
    section = open(sys.argv[1], encoding="utf-8").read()
    title = sys.argv[2]
    page = eventually(page_object, "the reader's page on the accessibility bus")
    first = eventually(lambda: page_text(page), "the first page's text")
    if not section.startswith(first):
        fail("the first page is not the start of the book: %r" % first[:40])
    screen = page.parent
    if screen is None or screen.name != title:
        fail("the reading screen should be named after the book: %r" % (screen and screen.name))
    if page.queryText().caretOffset != 0:
        fail("the caret should stand at the page's first character")

    action = page.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Next Page" not in names:
        fail("the page offers no next-page action: %r" % names)
    action.doAction(names.index("Next Page"))
    second = eventually(lambda: (lambda t: t if t and t != first else None)(page_text(page)), "the next page")
    if not section.startswith(first + second):
        fail("the next page does not follow the first: %r" % second[:40])
    buttons = [n.name for n in walk(screen) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    if "下一頁" not in buttons or "選項" not in buttons:
        fail("the reading screen's buttons: %r" % buttons)
    print("pages read: %d and %d characters" % (len(first), len(second)))


main()
