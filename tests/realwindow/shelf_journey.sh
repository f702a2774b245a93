#!/usr/bin/env bash
# A reader's journey: start on a shelf of books, click a title, choose its
# first section, turn pages with keys, close; start again and land on the
# same page of the same book, as the caption and a screenshot show.
source "$(dirname "$0")/lib.sh"

start_xvfb 1280x1024
make_app_dir

# Long sections, so that pages can be turned.
python3 - "$WORK" <<'EOF'
import sys
verse = "天地玄黃，宇宙洪荒。日月盈昃，辰宿列張。寒來暑往，秋收冬藏。閏餘成歲，律呂調陽。\n"
for n in (1, 2, 3):
    with open(f"{sys.argv[1]}/section{n}.txt", "w", encoding="utf-8") as f:
        f.write(f"第{n}回\n" + verse * (40 * n))
EOF
S="$WORK/section1.txt $WORK/section2.txt $WORK/section3.txt"

# A first start on an empty shelf: the list says how to get a book in (the
# hint's box clears the grid line at x 264 above its first line); Ctrl+O
# brings one in through the real file dialog, and the shelf lists it.
grid_cleared() {
  screenshot "$WORK/empty.png"
  [ "$(pixel "$WORK/empty.png" 264 234)" = "128,128,64" ]
}
hint_text_shown() {
  [ "$(convert "$WORK/empty.png" -crop 280x60+212+238 +repage txt:- | grep -vc '#808040')" -gt 300 ]
}
make_book "$WORK/chosen.updb" utf16 "千字文甲" $S
start_reader
eventually grid_cleared || fail "no hint on the empty shelf"
hint_text_shown || fail "the hint's box holds no text"
xdotool key --window "$WINDOW_ID" ctrl+o
wait_for "the file dialog" xdotool search --onlyvisible --name "開啟書、文字檔或 EPUB"
dialog=$(xdotool search --onlyvisible --name "開啟書、文字檔或 EPUB" | head -n 1)
xdotool windowfocus --sync "$dialog"
xdotool type --delay 20 "$WORK/chosen.updb"
xdotool key Return
wait_for "the chosen book on the shelf" test -e "$APP_DIR/chosen.updb"
grid_drawn() { ! grid_cleared; }
eventually grid_drawn || fail "the hint stays over a shelf with a book"
close_reader
rm -f "$APP_DIR/chosen.updb" "$APP_DIR/Pagora.ini"

make_book "$APP_DIR/a.updb" utf16 "千字文甲" $S
make_book "$APP_DIR/b.pdb" cp950 "千字文乙" $S
make_book "$APP_DIR/c.updb" utf16 "千字文丙" $S

same_image() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" = "0" ]; }
# settled FILE: a screenshot taken once the window stopped changing.
settled() {
  screenshot "$WORK/settle.png"
  sleep 0.3
  screenshot "$1"
  same_image "$WORK/settle.png" "$1"
}
shelf_painted() {
  screenshot "$WORK/shelf.png"
  [ "$(pixel "$WORK/shelf.png" 2 2)" = "127,127,191" ] && [ "$(pixel "$WORK/shelf.png" 400 300)" = "128,128,64" ]
}

start_reader
caption_is "Pagora 1.8" || fail "first caption is '$(window_name)'"
# Window mode 4 on this screen: 704 x 544, columns of 44 px, the list from y 60.
# The bar is inverted, the list area is in the screen colour.
eventually shelf_painted || fail "shelf screen not painted as expected"

# The second title from the right: c.updb (the .updb books come first).
click $((14 * 44 + 22)) 100
eventually caption_is "千字文丙 - Pagora 1.8" || fail "caption after opening is '$(window_name)'"

# A book opened for the first time shows its contents; the first section is
# the rightmost column.
screenshot "$WORK/contents.png"
click $((15 * 44 + 22)) 200
eventually settled "$WORK/page1.png" || fail "the window does not settle"
same_image "$WORK/contents.png" "$WORK/page1.png" && fail "the first section was not opened"
for k in Left space Down; do
  key "$k"
done
eventually settled "$WORK/page4.png" || fail "the window does not settle"
same_image "$WORK/page1.png" "$WORK/page4.png" && fail "the keys did not turn the page"

close_reader
[ -e "$APP_DIR/Pagora.ini" ] || fail "no settings file written"
line2=$(settings_text | sed -n 2p | tr -d '\r')
[ "$line2" = "3 1 4 c.updb" ] || fail "settings line 2 is '$line2'"

same_page() {
  screenshot "$WORK/again.png"
  same_image "$WORK/page4.png" "$WORK/again.png"
}
start_reader
eventually caption_is "千字文丙 - Pagora 1.8" || fail "caption after restart is '$(window_name)'"
eventually same_page || fail "the page shown after the restart differs"
close_reader
echo "shelf_journey: passed"
