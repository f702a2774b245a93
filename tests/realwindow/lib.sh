# Helpers for tests that drive the real reader window under Xvfb.
# Source it, then: start_xvfb; make_app_dir; start_reader; ... ; close_reader.
set -euo pipefail

PAGORA_BIN=${1:?pagora binary}
PAGORA_BOOK_BIN=${2:?pagora-book binary}
SOURCE_DIR=${3:?source folder}
LIB_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/pagora-window-XXXXXX")
XVFB_PID=""
READER_PID=""

cleanup() {
  [ -n "$READER_PID" ] && kill "$READER_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  chmod -R u+w "$WORK" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# start_xvfb [WIDTHxHEIGHT]
start_xvfb() {
  local size=${1:-1280x1024}
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
      XVFB_PID=$!
      export DISPLAY=":$n"
      local i
      for i in $(seq 1 50); do
        if xdpyinfo >/dev/null 2>&1; then
          return 0
        fi
        if ! kill -0 "$XVFB_PID" 2>/dev/null; then
          break
        fi
        sleep 0.1
      done
      kill "$XVFB_PID" 2>/dev/null || true
      XVFB_PID=""
    fi
  done
  fail "could not start Xvfb"
}

# A portable reader folder: the executable with its settings beside it.
make_app_dir() {
  APP_DIR="$WORK/app"
  mkdir -p "$APP_DIR"
  cp "$PAGORA_BIN" "$APP_DIR/pagora"
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
  for i in $(seq 1 100); do
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

window_name() {
  xdotool getwindowname "$WINDOW_ID"
}

# close_reader: asks the window to close and waits for the process to end.
close_reader() {
  python3 "$LIB_DIR/x_close.py" "$WINDOW_ID"
  local i
  for i in $(seq 1 100); do
    if ! kill -0 "$READER_PID" 2>/dev/null; then
      wait "$READER_PID" 2>/dev/null || true
      READER_PID=""
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

# pixel FILE X Y -> "r,g,b"
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# settings_text: the settings file beside the executable, as UTF-8.
settings_text() {
  iconv -f UTF-16 -t UTF-8 "$APP_DIR/Pagora.ini"
}
