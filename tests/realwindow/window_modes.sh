#!/usr/bin/env bash
# Window modes on a 1280 x 1024 screen: without settings the window opens in
# mode 4 (704 x 544); a stored full-screen mode opens borderless over the
# whole screen, and so does a stored maximized mode.
source "$(dirname "$0")/lib.sh"

# write_settings MODE: a settings file whose position line lets the window
# line be read (the book named there does not exist).
write_settings() {
  printf '1 2 1 %s/\r\n1 1 1 missing.updb\r\n%s 0 新細明體 [14]\r\n' "$APP_DIR" "$1" |
    iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$APP_DIR/Pagora.ini"
}

geometry() {
  xdotool getwindowgeometry "$WINDOW_ID" | sed -n 's/.*Geometry: //p'
}

expect_geometry() {
  local want=$1 got i
  for i in $(seq 1 30); do
    got=$(geometry)
    [ "$got" = "$want" ] && return 0
    sleep 0.1
  done
  fail "$2: window is $got, expected $want"
}

start_xvfb 1280x1024
make_app_dir

start_reader
expect_geometry 704x544 "no settings"
close_reader

for mode in 9 10; do
  write_settings "$mode"
  start_reader
  expect_geometry 1280x1024 "stored mode $mode"
  close_reader
done

write_settings 7
start_reader
expect_geometry 544x704 "stored mode 7"
close_reader
echo "window_modes: passed"
