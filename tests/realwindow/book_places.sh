#!/usr/bin/env bash
# Every book keeps its place across a restart, not only the last one: read
# one book, leave it for another, close; start again, go back to the first
# book from the shelf and land on the page it was left on.
source "$(dirname "$0")/lib.sh"

start_xvfb 1280x1024
make_app_dir

python3 - "$WORK" <<'EOF2'
import sys
verse = "天地玄黃，宇宙洪荒。日月盈昃，辰宿列張。寒來暑往，秋收冬藏。閏餘成歲，律呂調陽。\n"
for n in (1, 2):
    with open(f"{sys.argv[1]}/section{n}.txt", "w", encoding="utf-8") as f:
        f.write(f"第{n}回\n" + verse * (40 * n))
EOF2
# Books are known by their text: the two must differ.
make_book "$APP_DIR/a.updb" utf16 "千字文甲" "$WORK/section2.txt" "$WORK/section1.txt"
make_book "$APP_DIR/c.updb" utf16 "千字文丙" "$WORK/section1.txt" "$WORK/section2.txt"
NOTES="$APP_DIR/notes.sqlite"

same_image() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" = "0" ]; }
settled() {
  screenshot "$WORK/settle.png"
  sleep 0.3
  screenshot "$1"
  same_image "$WORK/settle.png" "$1"
}
# Mode 4 on this screen: 704 x 544, shelf columns of 44 px from the right;
# the menu's middle band runs from y 181 to 329, "書架" at its right end.
to_shelf() {
  click 352 272
  click 660 250
}

start_reader
eventually caption_is "Pagora 1.8" || fail "first caption is '$(window_name)'"
sleep 0.5
[ -e "$NOTES" ] && fail "the notes database was opened at start-up"

click $((14 * 44 + 22)) 100 # c.updb, the second title
eventually caption_is "千字文丙 - Pagora 1.8" || fail "caption after opening is '$(window_name)'"
click $((15 * 44 + 22)) 200 # its first section
for k in Left Left Left; do
  key "$k"
done
eventually settled "$WORK/left.png" || fail "the window does not settle"
to_shelf
click $((15 * 44 + 22)) 100 # a.updb
eventually caption_is "千字文甲 - Pagora 1.8" || fail "caption after the second book is '$(window_name)'"
click $((15 * 44 + 22)) 200
key Left
close_reader
[ "$(sqlite3 "$NOTES" 'select count(*) from places')" = "2" ] || fail "places kept: $(sqlite3 "$NOTES" 'select * from places')"

# The last book reopens from the settings file; the other one from its place.
start_reader
eventually caption_is "千字文甲 - Pagora 1.8" || fail "caption after restart is '$(window_name)'"
to_shelf
click $((14 * 44 + 22)) 100
eventually caption_is "千字文丙 - Pagora 1.8" || fail "caption after going back is '$(window_name)'"
same_page() {
  settled "$WORK/again.png" && same_image "$WORK/left.png" "$WORK/again.png"
}
eventually same_page || fail "the page shown after the restart differs"
close_reader
echo "book_places: passed"
