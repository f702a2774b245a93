#!/usr/bin/env bash
# A reader opens a book from the shelf, picks a section from its contents,
# turns a page, taps the middle of the page for the menu, chooses another
# background, a larger size and punctuation as written, goes back and
# closes. The next start shows the same page in the same appearance.
source "$(dirname "$0")/lib.sh"

# A 1024-pixel-high screen starts in window mode 4: a 704 x 544 panel.
# Positions below follow from its layout: list columns 44 wide from the
# right, menu bands at y 181 and 329, rows at 442, 476 and 510, the digit
# cells from x 362 in steps of 16.
start_xvfb 1280x1024
make_app_dir

section() { # section FILE TITLE LINES
  {
    echo "$2"
    for i in $(seq 1 "$3"); do echo "天地玄黃宇宙洪荒日月盈昃辰宿列張寒來暑往秋收冬藏「第${i}行」，"; done
  } >"$1"
}
section "$WORK/s1.txt" "第一回" 5
section "$WORK/s2.txt" "第二回" 120
section "$WORK/s3.txt" "第三回" 5
make_book "$APP_DIR/journey.updb" utf16 "旅程" "$WORK/s1.txt" "$WORK/s2.txt" "$WORK/s3.txt"

start_reader
click 680 120 # the first title on the shelf: a new book opens on its contents
click 638 200 # the second section's title
click 100 400 # lower left of the page: next page
screenshot "$WORK/before-menu.png"
[ "$(pixel "$WORK/before-menu.png" 5 272)" != "255,192,255" ] || fail "background 7 before it was chosen"

click 352 272 # the middle of the page: the menu
screenshot "$WORK/menu.png"
# The menu is drawn on the screen colour; "返回" is inverted as the default.
[ "$(pixel "$WORK/menu.png" 5 5)" = "127,127,191" ] || fail "no inverted title bar: not on the menu"
[ "$(pixel "$WORK/menu.png" 240 190)" = "127,127,191" ] || fail "the back button is not marked"
click 466 493 # background 7
click 402 527 # size step 3
click 66 459  # "橫": punctuation as written
click 352 250 # "返回"
screenshot "$WORK/reading.png"
[ "$(pixel "$WORK/reading.png" 5 272)" = "255,192,255" ] || fail "background 7 is not shown"
close_reader

settings=$(settings_text | tr -d '\r')
line1=$(sed -n 1p <<<"$settings")
line2=$(sed -n 2p <<<"$settings")
line3=$(sed -n 3p <<<"$settings")
[ "$line1" = "1 7 3 $APP_DIR/" ] || fail "appearance not saved: '$line1'"
[[ "$line2" =~ ^3\ 2\ [0-9]+\ journey\.updb$ ]] || fail "place not saved: '$line2'"
[ "$line3" = "4 0 新細明體 [14]" ] || fail "window and font line: '$line3'"
[ "$(sed -n 4p <<<"$settings")" = "0" ] || fail "punctuation choice not saved: '$(sed -n 4p <<<"$settings")'"
[ "$(cut -d' ' -f3 <<<"$line2")" -ge 2 ] || fail "the page turned before the menu was lost: '$line2'"

start_reader
screenshot "$WORK/restarted.png"
compare -metric AE "$WORK/reading.png" "$WORK/restarted.png" null: 2>"$WORK/diff.txt" ||
  fail "the restarted reader does not show the same page: $(cat "$WORK/diff.txt") pixels differ"
close_reader
line2again=$(settings_text | tr -d '\r' | sed -n 2p)
[ "$line2again" = "$line2" ] || fail "place moved on restart: '$line2' became '$line2again'"
echo "menu journey: passed"
