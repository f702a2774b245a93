#!/usr/bin/env bash
# First start in an empty folder: the window appears with the caption
# "Pagora 1.8", and closing it with an empty shelf writes no settings file.
# Without a display the start fails with status 1.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_app_dir
start_reader
[ "$(window_name)" = "Pagora 1.8" ] || fail "caption is '$(window_name)'"
screenshot "$WORK/shot.png"
close_reader
[ ! -e "$APP_DIR/Pagora.ini" ] || fail "a settings file was written for an empty shelf"
# Without a display the reader cannot start: it says so and ends with status 1.
status=0
env -u DISPLAY QT_QPA_PLATFORM=xcb "$APP_DIR/pagora" >"$WORK/no-display.log" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "without a display the reader ended with status $status: $(cat "$WORK/no-display.log")"
echo "startup: passed"
