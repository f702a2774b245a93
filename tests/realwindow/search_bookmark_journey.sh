#!/usr/bin/env bash
# A reader searches a word, sees the hit highlighted, bookmarks its page,
# closes; the bookmark is in the book file. After a restart the reader goes
# elsewhere and jumps back to the bookmark.
#
# Window mode 4 (the default on a 1024-pixel screen): a 704 x 544 panel.
# Menu bands: top 0..181, middle 181..329, lower 329..442; halfWidth 352.
# Reading page: 16-pixel cells, columns at x 667, 643, ..., first row at y 16.
# Contents: 16 columns of 44 pixels, section 1 in the rightmost.
source "$(dirname "$0")/lib.sh"

start_xvfb 1280x1024
make_app_dir

printf '第一節\n天地玄黃，宇宙洪荒。日月盈昃，辰宿列張。\n' >"$WORK/s1.txt"
printf '第二節\nPagora寒來暑往，秋收冬藏。閏餘成歲，律呂調陽。\n' >"$WORK/s2.txt"
printf '第三節\n雲騰致雨，露結為霜。金生麗水，玉出崑岡。\n' >"$WORK/s3.txt"
BOOK="$APP_DIR/journey.updb"
make_book "$BOOK" utf16 "旅程" "$WORK/s1.txt" "$WORK/s2.txt" "$WORK/s3.txt"

inverse() {
  local r g b
  IFS=, read -r r g b <<<"$1"
  echo "$((255 - r)),$((255 - g)),$((255 - b))"
}

start_reader
click 352 520         # 開始: a book at its beginning opens on its contents
click 680 200         # section 1
click 352 272         # the middle of the page: the menu
click 58 250          # 尋找: search mode and the box
click 120 65
xdotool type --window "$WINDOW_ID" --delay 50 "Pagora"
sleep 0.3
click 176 385         # 找下一個
screenshot "$WORK/hit.png"

# The section's text begins with its title line; the six cells of the hit, at
# the top of the second column, are inverted and the seventh cell is not.
background=$(pixel "$WORK/hit.png" 695 300)
for y in 20 30 60 110; do
  [ "$(pixel "$WORK/hit.png" 643 "$y")" = "$(inverse "$background")" ] ||
    fail "hit cell at y $y is $(pixel "$WORK/hit.png" 643 "$y"), background $background"
done
[ "$(pixel "$WORK/hit.png" 643 116)" = "$background" ] || fail "the cell after the hit is highlighted"

click 352 272         # the menu, still in search mode
click 175 250         # 取消 over 尋找: search mode off
click 175 250         # 書籤: bookmark mode
click 352 100         # 加上書籤
close_reader

"$PAGORA_BOOK_BIN" info "$BOOK" >"$WORK/info.json"
grep -q '"records":5' "$WORK/info.json" || fail "no bookmark record: $(cat "$WORK/info.json")"
grep -q '"bookmarks":{"2":\[1\]}' "$WORK/info.json" || fail "bookmarks: $(cat "$WORK/info.json")"

start_reader          # reopens section 2, page 1
click 352 272
click 527 250         # 目錄
click 680 200         # section 1
click 352 272
click 175 250         # 書籤
click 176 385         # 下一書籤
screenshot "$WORK/jump.png"
# The whole left third of the menu cancels bookmark mode, also the half
# over 書籤; a press there afterwards turns the mode on again.
click 352 272
screenshot "$WORK/marking.png"
click 175 250         # 取消
screenshot "$WORK/unmarked.png"
compare -metric AE "$WORK/marking.png" "$WORK/unmarked.png" null: >/dev/null 2>&1 &&
  fail "bookmark mode stayed on after 取消"
click 175 250         # 書籤
screenshot "$WORK/marking-again.png"
compare -metric AE "$WORK/marking.png" "$WORK/marking-again.png" null: >/dev/null 2>&1 ||
  fail "bookmark mode did not come back"
close_reader
settings_text | sed -n 2p | grep -q '^3 2 1 journey.updb' || fail "position after the jump: $(settings_text | sed -n 2p)"
echo "search_bookmark_journey: passed"
