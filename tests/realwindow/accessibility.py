"""Reads the reader's page through the accessibility bus, as a screen reader
does, turns the page through its action and reads the next one, listening
for what the reader tells of the change.

Usage: accessibility.py SECTION_TEXT_FILE BOOK_TITLE
Prints what it found; exits non-zero on the first thing that is wrong.
"""
import os
import sys
import time

import pyatspi
from gi.repository import GLib

SECTION = open(sys.argv[1], encoding="utf-8").read()
TITLE = sys.argv[2]
EVENTS = []
STATE = {}


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.stderr.flush()
    os._exit(1)  # from inside the event loop too


def walk(node, depth=0):
    if node is None or depth > 8:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def page_object():
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.name.lower() != "pagora":
            continue
        for node in walk(app):
            if node.getRole() == pyatspi.ROLE_PUSH_BUTTON:
                continue
            try:
                node.queryText()
                return node
            except NotImplementedError:
                pass
    return None


def page_text(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def read_first_page():
    page = page_object()
    if page is None or not page_text(page):
        if time.monotonic() > STATE["deadline"]:
            fail("the reader's page never showed on the accessibility bus")
        return True  # again later
    first = page_text(page)
    if not SECTION.startswith(first):
        fail("the first page is not the start of the book: %r" % first[:40])
    screen = page.parent
    if screen is None or screen.name != TITLE:
        fail("the reading screen should be named after the book: %r" % (screen and screen.name))
    if page.queryText().caretOffset != 0:
        fail("the caret should stand at the page's first character")
    buttons = [n.name for n in walk(screen) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    if "下一頁" not in buttons or "選項" not in buttons:
        fail("the reading screen's buttons: %r" % buttons)
    action = page.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Next Page" not in names:
        fail("the page offers no next-page action: %r" % names)
    STATE.update(page=page, first=first, deadline=time.monotonic() + 15)
    action.doAction(names.index("Next Page"))
    GLib.timeout_add(200, read_next_page)
    return False


def read_next_page():
    second = page_text(STATE["page"])
    told = "object:text-changed:insert" in EVENTS
    if second == STATE["first"] or not told:
        if time.monotonic() > STATE["deadline"]:
            fail("the page %s, events: %r" % ("did not turn" if second == STATE["first"] else "turned", EVENTS))
        return True
    if not SECTION.startswith(STATE["first"] + second):
        fail("the next page does not follow the first: %r" % second[:40])
    print("pages read: %d and %d characters" % (len(STATE["first"]), len(second)))
    pyatspi.Registry.stop()
    return False


# The reader tells only what someone listens for: listen before anything else.
pyatspi.Registry.registerEventListener(lambda e: EVENTS.append(str(e.type)), "object:text-changed")
STATE["deadline"] = time.monotonic() + 30
GLib.timeout_add(200, read_first_page)
pyatspi.Registry.start()
