#!/usr/bin/env bash
# A screen reader's view of the real window: on a session bus with the
# accessibility bus on, the page shown is read through AT-SPI, the page is
# turned through the page's own action, and the next page is read; both are
# the book's text, in order.
source "$(dirname "$0")/lib.sh"
use_session_bus

# Debian's python3-pyatspi is for the system's Python, whatever else is on PATH.
PY=/usr/bin/python3
[ -x "$PY" ] || PY=python3
"$PY" -c 'import pyatspi' 2>/dev/null || fail "python3-pyatspi is missing"
LAUNCHER=$(sed -n 's/^Exec=//p' /usr/share/dbus-1/services/org.a11y.Bus.service 2>/dev/null || true)
[ -x "${LAUNCHER%% *}" ] || fail "at-spi2-core's accessibility bus launcher is missing"

start_xvfb
make_app_dir

# The accessibility bus keeps its socket under XDG_RUNTIME_DIR: one of this
# test's own, so that tests side by side never share a bus. Started here, not
# by the session bus, so that it has that folder.
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
$LAUNCHER --launch-immediately >"$WORK/a11y.log" 2>&1 &
A11Y_PID=$!
trap 'kill "$A11Y_PID" 2>/dev/null || true; cleanup' EXIT
has_a11y_bus() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
    string:org.a11y.Bus | grep -q true
}
wait_for "the accessibility bus" has_a11y_bus

# Characters that never repeat within a page, so each page's text is its own.
python3 -c 'print("".join(chr(0x4E00 + i * 7 % 4000) for i in range(1500)))' >"$WORK/s1.txt"
make_book "$APP_DIR/book.updb" utf16 "讀給我聽" "$WORK/s1.txt"
# Reopen the book at section 1, page 1, in window mode 1.
printf '\xff\xfe' >"$APP_DIR/Pagora.ini"
printf '1 2 1 %s/\r\n1 1 1 book.updb\r\n1 0 新細明體 [14]\r\n' "$APP_DIR" |
  iconv -f UTF-8 -t UTF-16LE >>"$APP_DIR/Pagora.ini"

start_reader QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
timeout 120 "$PY" "$(dirname "$0")/accessibility.py" "$WORK/s1.txt" "讀給我聽" ||
  fail "reading through the accessibility bus: $(cat "$WORK/reader.log")"

close_reader
echo "accessibility: passed"
