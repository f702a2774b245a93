# Helpers for tests that drive the real reader window under Xvfb.
# Source it, then: start_xvfb; make_app_dir; start_reader; ... ; close_reader.
set -euo pipefail

PAGORA_BIN=${1:?pagora binary}
PAGORA_BOOK_BIN=${2:?pagora-book binary}
SOURCE_DIR=${3:?source folder}
LIB_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# use_session_bus (call first, before anything else): runs the rest of the
# test under a D-Bus session bus of its own, as a desktop session has one.
# Every other test has no session bus at all, so that readers of tests that
# run side by side never find each other.
use_session_bus() {
  if [ -z "${PAGORA_TEST_BUS:-}" ]; then
    command -v dbus-run-session >/dev/null || { echo "FAIL: dbus-run-session is missing" >&2; exit 1; }
    rm -rf "$WORK"
    trap - EXIT
    exec env PAGORA_TEST_BUS=1 dbus-run-session -- bash "$0" "$PAGORA_BIN" "$PAGORA_BOOK_BIN" "$SOURCE_DIR"
  fi
}
if [ -z "${PAGORA_TEST_BUS:-}" ]; then
  unset DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/pagora-window-XXXXXX")
XVFB_PID=""
WM_PID=""
READER_PID=""

cleanup() {
  local pid
  for pid in $READER_PID $WM_PID; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  stop_xvfb
  chmod -R u+w "$WORK" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# start_xvfb [WIDTHxHEIGHT]: the server picks a free display itself and
# writes its number once it accepts connections, so parallel tests never race
# for a number. Without -noreset the server resets whenever its last client
# leaves (a closed reader) and refuses the next one meanwhile.
start_xvfb() {
  local size=${1:-1280x1024} i
  Xvfb -displayfd 3 -noreset -screen 0 "${size}x24" -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for i in $(seq 1 100); do
    if [ -s "$WORK/display" ]; then
      export DISPLAY=":$(head -n 1 "$WORK/display")"
      return 0
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  fail "could not start Xvfb: $(cat "$WORK/xvfb.log")"
}

# stop_xvfb: ends the server and waits until its sockets are gone.
stop_xvfb() {
  [ -n "$XVFB_PID" ] || return 0
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
}

# start_wm: a window manager on the private display, for maximize and frames.
start_wm() {
  XDG_CONFIG_HOME="$WORK/wm" XDG_CACHE_HOME="$WORK/wm" openbox --sm-disable >"$WORK/wm.log" 2>&1 &
  WM_PID=$!
  wait_for "window manager" wmctrl -m
}

# wait_for WHAT COMMAND...: retries COMMAND for up to ten seconds.
wait_for() {
  local what=$1 i
  shift
  for i in $(seq 1 100); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  fail "timed out waiting for $what"
}

# eventually COMMAND...: true once COMMAND succeeds, retried for a while (a
# loaded machine may paint late); unlike wait_for, a miss is the caller's call.
eventually() {
  local i
  for i in $(seq 1 60); do
    if "$@"; then
      return 0
    fi
    sleep 0.25
  done
  return 1
}

# A portable reader folder: the executable with its settings beside it.
make_app_dir() {
  APP_DIR="$WORK/app"
  mkdir -p "$APP_DIR"
  cp "$PAGORA_BIN" "$APP_DIR/pagora"
  # The reader imports through the tool installed beside it.
  cp "$PAGORA_BOOK_BIN" "$APP_DIR/pagora-book"
}

# make_book OUT ENCODING TITLE SECTION_FILE...
make_book() {
  local out=$1 enc=$2 title=$3
  shift 3
  "$PAGORA_BOOK_BIN" make --encoding "$enc" --title "$title" -o "$out" "$@" >/dev/null
}

# start_reader [ENV=VALUE ...]: starts the reader and waits for its window.
# READER_PREFIX (an array) may hold a command to run the reader through.
start_reader() {
  ${READER_PREFIX[@]+"${READER_PREFIX[@]}"} env QT_QPA_PLATFORM=xcb "$@" "$APP_DIR/pagora" >"$WORK/reader.log" 2>&1 &
  READER_PID=$!
  WINDOW_ID=""
  local i
  for i in $(seq 1 300); do
    WINDOW_ID=$(xdotool search --onlyvisible --name "Pagora 1\.8" 2>/dev/null | head -n 1 || true)
    if [ -n "$WINDOW_ID" ]; then
      sleep 0.5
      return 0
    fi
    kill -0 "$READER_PID" 2>/dev/null || fail "reader exited early: $(cat "$WORK/reader.log")"
    sleep 0.1
  done
  fail "reader window did not appear"
}

# write_settings MODE [LINE2]: a settings file asking for window mode MODE;
# without LINE2 the book named does not exist, so the shelf is shown.
write_settings() {
  printf '1 2 1 %s/\r\n%s\r\n%s 0 新細明體 [14]\r\n' "$APP_DIR" "${2:-1 1 1 missing.updb}" "$1" |
    iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$APP_DIR/Pagora.ini"
}

# geometry -> "WxH" of the window's client area.
geometry() {
  xdotool getwindowgeometry "$WINDOW_ID" | sed -n 's/.*Geometry: //p'
}

# expect_geometry WxH WHAT: waits for the client area to take that size.
expect_geometry() {
  local got i
  for i in $(seq 1 50); do
    got=$(geometry)
    [ "$got" = "$1" ] && return 0
    sleep 0.1
  done
  fail "$2: window is $got, expected $1"
}

caption_is() { [ "$(window_name)" = "$1" ]; }

window_name() {
  xdotool getwindowname "$WINDOW_ID"
}

# close_reader: asks the window to close, waits for the process to end and
# checks that it ended well (a crash or a sanitizer report is a failure).
close_reader() {
  python3 "$LIB_DIR/x_close.py" "$WINDOW_ID"
  local i status=0
  for i in $(seq 1 300); do
    if ! kill -0 "$READER_PID" 2>/dev/null; then
      wait "$READER_PID" || status=$?
      READER_PID=""
      [ "$status" -eq 0 ] || fail "reader exited with status $status: $(cat "$WORK/reader.log")"
      return 0
    fi
    sleep 0.1
  done
  fail "reader did not close"
}

# click X Y (window coordinates), key NAME, screenshot FILE
click() {
  xdotool mousemove --window "$WINDOW_ID" "$1" "$2" click 1
  sleep 0.3
}

key() {
  xdotool key --window "$WINDOW_ID" "$1"
  sleep 0.3
}

screenshot() {
  import -window "$WINDOW_ID" "$1"
}

# paper_box FILE -> "LEFT TOP WIDTH HEIGHT" of the paper-coloured popup
# (the menu, the colours or the card), placed beside the selection.
paper_box() {
  convert "$1" -fill black +opaque '#FFFDE7' -fill white -opaque '#FFFDE7' -trim -format '%X %Y %w %h' info: | tr -d '+'
}

# settled_shot FILE: a screenshot once two in a row are the same, so that a
# resize still being painted is not taken for the result.
settled_shot() {
  local i
  screenshot "$1"
  for i in $(seq 1 20); do
    sleep 0.2
    screenshot "$WORK/settle.png"
    if compare -metric AE "$1" "$WORK/settle.png" null: >/dev/null 2>&1; then
      return 0
    fi
    mv "$WORK/settle.png" "$1"
  done
  fail "the window kept changing"
}

# pixel FILE X Y -> "r,g,b"
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# settings_text: the settings file beside the executable, as UTF-8.
settings_text() {
  iconv -f UTF-16 -t UTF-8 "$APP_DIR/Pagora.ini"
}
