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
make_book "$APP_DIR/a.updb" utf16 "千字文甲" $S
make_book "$APP_DIR/b.pdb" cp950 "千字文乙" $S
make_book "$APP_DIR/c.updb" utf16 "千字文丙" $S

start_reader
[ "$(window_name)" = "Pagora 1.8" ] || fail "first caption is '$(window_name)'"
screenshot "$WORK/shelf.png"
# Window mode 4 on this screen: 704 x 544, columns of 44 px, the list from y 60.
[ "$(pixel "$WORK/shelf.png" 2 2)" = "127,127,191" ] || fail "title bar not inverted"
[ "$(pixel "$WORK/shelf.png" 400 300)" = "128,128,64" ] || fail "list area not in the screen colour"

# The second title from the right: c.updb (the .updb books come first).
click $((14 * 44 + 22)) 100
[ "$(window_name)" = "千字文丙 - Pagora 1.8" ] || fail "caption after opening is '$(window_name)'"

# A book opened for the first time shows its contents; the first section is
# the rightmost column.
click $((15 * 44 + 22)) 200
screenshot "$WORK/page1.png"
for k in Left space Down; do
  key "$k"
done
screenshot "$WORK/page4.png"
if compare -metric AE "$WORK/page1.png" "$WORK/page4.png" null: 2>/dev/null; then
  fail "the keys did not turn the page"
fi

close_reader
[ -e "$APP_DIR/Pagora.ini" ] || fail "no settings file written"
line2=$(settings_text | sed -n 2p | tr -d '\r')
[ "$line2" = "3 1 4 c.updb" ] || fail "settings line 2 is '$line2'"

start_reader
[ "$(window_name)" = "千字文丙 - Pagora 1.8" ] || fail "caption after restart is '$(window_name)'"
screenshot "$WORK/again.png"
diff=$(compare -metric AE "$WORK/page4.png" "$WORK/again.png" null: 2>&1 || true)
[ "$diff" = "0" ] || fail "the page shown after the restart differs ($diff pixels)"
close_reader
echo "shelf_journey: passed"
