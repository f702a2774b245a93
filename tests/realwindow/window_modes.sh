#!/usr/bin/env bash
# Window modes on a 1280 x 1024 screen: without settings the window opens in
# mode 4 (704 x 544); a stored full-screen mode opens borderless over the
# whole screen, and so does a stored maximized mode.
source "$(dirname "$0")/lib.sh"

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
