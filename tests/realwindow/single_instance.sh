#!/usr/bin/env bash
# One reader per user on the desktop's session bus: two readers started at
# the same moment leave one window and one process; a later `pagora` raises
# it and ends, a later `pagora FILE` hands the file over (ending with status
# 0 once the reader took it, 1 when it refused it), and the running reader
# imports and opens it.
# A reader that finds no session bus runs on its own. A launcher that honours
# the desktop entry's DBusActivatable starts the reader through the bus.
source "$(dirname "$0")/lib.sh"
use_session_bus

start_xvfb
make_app_dir

windows() { xdotool search --onlyvisible --name "Pagora 1\.8" 2>/dev/null | wc -l; }
windows_are() { [ "$(windows)" -eq "$1" ]; }

QT_QPA_PLATFORM=xcb "$APP_DIR/pagora" >"$WORK/first.log" 2>&1 &
FIRST=$!
QT_QPA_PLATFORM=xcb "$APP_DIR/pagora" >"$WORK/second.log" 2>&1 &
SECOND=$!
READER_PID="$FIRST $SECOND"
wait_for "a reader window" windows_are 1
alive() { local p n=0; for p in $FIRST $SECOND; do kill -0 "$p" 2>/dev/null && n=$((n + 1)); done; echo $n; }
one_alive() { [ "$(alive)" -eq 1 ]; }
eventually one_alive || fail "$(alive) readers are running: $(cat "$WORK/first.log" "$WORK/second.log")"
sleep 1
[ "$(windows)" -eq 1 ] || fail "$(windows) reader windows are open"
[ "$(alive)" -eq 1 ] || fail "$(alive) readers are running"
if kill -0 "$FIRST" 2>/dev/null; then READER_PID=$FIRST LOSER=$SECOND; else READER_PID=$SECOND LOSER=$FIRST; fi
wait "$LOSER" || fail "the start that found a running reader ended with status $?"
WINDOW_ID=$(xdotool search --onlyvisible --name "Pagora 1\.8" | head -n 1)

# A later start without files raises the running window and ends.
timeout 20 env QT_QPA_PLATFORM=xcb "$APP_DIR/pagora" || fail "a later start ended with status $?"
[ "$(windows)" -eq 1 ] || fail "$(windows) reader windows after a later start"

# With no session bus a start is a reader of its own.
env QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS="unix:path=$WORK/no-bus" "$APP_DIR/pagora" >"$WORK/alone.log" 2>&1 &
ALONE=$!
eventually windows_are 2 || fail "a reader without a bus did not open its own window: $(cat "$WORK/alone.log")"
kill "$ALONE"
wait "$ALONE" 2>/dev/null || true

# A later start with a file hands it over; the running reader imports and opens it.
printf '第一章\n趙錢孫李，周吳鄭王。\n' >"$WORK/百家姓.txt"
timeout 20 env QT_QPA_PLATFORM=xcb "$APP_DIR/pagora" "$WORK/百家姓.txt" || fail "the hand-over ended with status $?"
eventually caption_is "百家姓 - Pagora 1.8" || fail "caption after the hand-over is '$(window_name)'"
[ -f "$APP_DIR/百家姓.updb" ] || fail "the handed-over text was not imported: $(ls "$APP_DIR")"
[ "$(windows)" -eq 1 ] || fail "$(windows) reader windows after the hand-over"

# A file the running reader refuses (not a kind it reads, or missing) ends
# the start with status 1; --help and --version need no display at all.
printf '\211PNG\r\n\032\n\0\0\0\rIHDR\0\0' >"$WORK/photo.jpg"
if timeout 20 env QT_QPA_PLATFORM=xcb "$APP_DIR/pagora" "$WORK/photo.jpg" 2>"$WORK/refused.log"; then
  fail "a refused hand-over ended with status 0"
fi
grep -q "photo.jpg" "$WORK/refused.log" || fail "the refusal does not name the file: $(cat "$WORK/refused.log")"
[ "$(env -u DISPLAY "$APP_DIR/pagora" --version)" = "Pagora 1.8" ] || fail "--version printed something else"
env -u DISPLAY "$APP_DIR/pagora" --help | grep -q "^Usage: pagora" || fail "--help printed no usage"
[ "$(windows)" -eq 1 ] || fail "$(windows) reader windows after --help and --version"
close_reader

# Once the reader has ended, a start with no one to hand to becomes the reader.
start_reader
close_reader

# D-Bus activation, as a launcher that honours DBusActivatable does it: Open
# on a bus whose service folder holds the service file starts the reader,
# which then takes the file.
mkdir -p "$WORK/services"
sed "s|@PAGORA_SERVICE_EXEC@|$APP_DIR/pagora|" "$SOURCE_DIR/data/io.github.pagora_reader.Pagora.service.in" \
  >"$WORK/services/io.github.pagora_reader.Pagora.service"
cat >"$WORK/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <include>/usr/share/dbus-1/session.conf</include>
  <servicedir>$WORK/services</servicedir>
</busconfig>
CONF
BUS=$(QT_QPA_PLATFORM=xcb dbus-daemon --config-file="$WORK/bus.conf" --fork --print-address=1 --print-pid=1 | tr '\n' ' ')
read -r BUS_ADDRESS BUS_PID <<<"$BUS"
WM_PID="$WM_PID $BUS_PID"
printf '第一回\n天地玄黃，宇宙洪荒。\n' >"$WORK/千字文.txt"
gdbus call --address "$BUS_ADDRESS" --dest io.github.pagora_reader.Pagora --object-path /io/github/pagora_reader/Pagora \
  --method org.freedesktop.Application.Open "['$(python3 -c 'import pathlib, sys; print(pathlib.Path(sys.argv[1]).as_uri())' "$WORK/千字文.txt")']" '{}' >/dev/null ||
  fail "Open by D-Bus activation failed"
WINDOW_ID=$(xdotool search --onlyvisible --name "Pagora 1\.8" | head -n 1)
eventually caption_is "千字文 - Pagora 1.8" || fail "caption after D-Bus activation is '$(window_name)'"
# Only absolute local file URIs are taken; the refusal names the one refused.
refused=$(gdbus call --address "$BUS_ADDRESS" --dest io.github.pagora_reader.Pagora \
  --object-path /io/github/pagora_reader/Pagora --method org.freedesktop.Application.Open "['file:-o.txt']" '{}' 2>&1) &&
  fail "Open took file:-o.txt"
[[ $refused == *'"file:-o.txt"'* ]] || fail "the refusal does not name the URI: $refused"
ACTIVATED=$(gdbus call --address "$BUS_ADDRESS" --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
  --method org.freedesktop.DBus.GetConnectionUnixProcessID io.github.pagora_reader.Pagora | tr -dc 0-9)
python3 "$LIB_DIR/x_close.py" "$WINDOW_ID"
eventually bash -c "! kill -0 $ACTIVATED 2>/dev/null" || fail "the activated reader did not close"
echo "single_instance: passed"
