#!/usr/bin/env bash
# First start in an empty folder: the window appears with the caption
# "Pagora 1.8", and closing it with an empty shelf writes no settings file.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_app_dir
start_reader
[ "$(window_name)" = "Pagora 1.8" ] || fail "caption is '$(window_name)'"
screenshot "$WORK/shot.png"
close_reader
[ ! -e "$APP_DIR/Pagora.ini" ] || fail "a settings file was written for an empty shelf"
echo "startup: passed"
