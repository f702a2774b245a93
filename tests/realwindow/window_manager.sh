#!/usr/bin/env bash
# Under a window manager, on a 1280 x 1024 screen: every fixed mode can be
# maximized with the title bar's button and with wmctrl, and restoring gives
# back its size. After each change the panel fills the client area and shows
# exactly what a fresh paint of the page draws. Full screen from the menu and
# back keeps working, and a size the manager chooses is laid out and painted.
source "$(dirname "$0")/lib.sh"

start_xvfb 1280x1024
start_wm
make_app_dir

{
  printf '第一節\n'
  for i in $(seq 1 300); do printf '天地玄黃宇宙洪荒日月盈昃辰宿列張第%s行\n' "$i"; done
} >"$WORK/s1.txt"
make_book "$APP_DIR/book.updb" utf16 "視窗" "$WORK/s1.txt"

fixed_sizes=(336x424 576x424 384x544 704x544 496x640 976x640 544x704 1024x704)

frame_extent() { # INDEX: 0 left, 1 right, 2 top, 3 bottom
  xprop -id "$WINDOW_ID" _NET_FRAME_EXTENTS | sed 's/.*= //' | tr -d ' ' | cut -d, -f$(($1 + 1))
}

# The maximize button of the theme: 27 px left of the frame's right edge,
# 10 px below its top.
press_maximize_button() {
  local x y w
  eval "$(xwininfo -id "$WINDOW_ID" | awk '/Absolute upper-left X/ { print "x=" $NF }
    /Absolute upper-left Y/ { print "y=" $NF } /Width:/ { print "w=" $NF }')"
  xdotool mousemove --sync $((x + w + $(frame_extent 1) - 27)) $((y - $(frame_extent 2) + 10)) click 1
}

frame_origin() { # "X,Y" of the frame's upper-left corner
  local x y
  eval "$(xwininfo -id "$WINDOW_ID" | awk '/Absolute upper-left X/ { print "x=" $NF }
    /Absolute upper-left Y/ { print "y=" $NF }')"
  echo "$((x - $(frame_extent 0))),$((y - $(frame_extent 2)))"
}

frame_at() { [ "$(frame_origin)" = "$1" ]; }

frame_on_screen() { [[ $(frame_origin) != -* && $(frame_origin) != *,-* ]]; }

is_maximized_from() { # FIXED_SIZE
  [[ $(xprop -id "$WINDOW_ID" _NET_WM_STATE) == *_NET_WM_STATE_MAXIMIZED_VERT* && $(geometry) != "$1" ]]
}

# fills_panel WHAT: the page mark on the last rows shows that the panel
# fills the client area.
fills_panel() {
  settled_shot "$WORK/shown.png"
  local h
  h=$(identify -format '%h' "$WORK/shown.png")
  [ "$(convert "$WORK/shown.png" -crop "x1+0+$((h - 2))" +repage txt:- | grep -c '#FF0000')" -gt 0 ] ||
    fail "$1: no page mark on the last rows"
}

# matches_fresh_paint WHAT: besides, the panel equals what it shows once the
# page is painted afresh (a page forward and back again).
matches_fresh_paint() {
  fills_panel "$1"
  key Left
  key Right
  settled_shot "$WORK/fresh.png"
  compare -metric AE "$WORK/shown.png" "$WORK/fresh.png" null: 2>"$WORK/diff.txt" ||
    fail "$1: the panel differs from a fresh paint in $(cat "$WORK/diff.txt") pixels"
}

maximize_and_restore() { # MODE HOW CHECK
  local fixed=${fixed_sizes[$1 - 1]}
  if [ "$2" = button ]; then press_maximize_button; else
    wmctrl -i -r "$WINDOW_ID" -b add,maximized_vert,maximized_horz
  fi
  wait_for "mode $1 maximized by $2" is_maximized_from "$fixed"
  "$3" "mode $1 maximized by $2"
  if [ "$2" = button ]; then press_maximize_button; else
    wmctrl -i -r "$WINDOW_ID" -b remove,maximized_vert,maximized_horz
  fi
  expect_geometry "$fixed" "mode $1 restored by $2"
  "$3" "mode $1 restored by $2"
}

# Mode 4: full screen from the menu (digit cell 9 of the window row) and back
# (cell 4 of the full-screen menu), then a size the window manager chooses
# (as tiling or snapping would).
menu_full_screen_and_back() {
  local before
  wmctrl -i -r "$WINDOW_ID" -e 0,120,60,-1,-1
  wait_for "the window moved onto the screen" frame_on_screen
  before=$(frame_origin)
  click 352 272
  click 498 459
  expect_geometry 1280x1024 "full screen from the menu"
  click 768 939
  expect_geometry 704x544 "back from full screen"
  [ "$(frame_extent 2)" -gt 0 ] || fail "no caption after full screen"
  eventually frame_at "$before" || fail "frame at $(frame_origin) after full screen, before at $before"
  click 352 250
  matches_fresh_paint "back from full screen"
  wmctrl -i -r "$WINDOW_ID" -e 0,-1,-1,600,500
  expect_geometry 600x500 "resized by the window manager"
  matches_fresh_paint "resized by the window manager"
}

for mode in 1 2 3 4 5 6 7 8; do
  write_settings "$mode" "1 1 2 book.updb"
  start_reader
  expect_geometry "${fixed_sizes[$mode - 1]}" "mode $mode"
  [[ $(xprop -id "$WINDOW_ID" _NET_WM_ALLOWED_ACTIONS) == *_NET_WM_ACTION_MAXIMIZE_VERT* ]] ||
    fail "mode $mode cannot be maximized"
  maximize_and_restore "$mode" button matches_fresh_paint
  maximize_and_restore "$mode" wmctrl fills_panel
  [ "$mode" -ne 4 ] || menu_full_screen_and_back
  close_reader
done
echo "window manager: passed"
