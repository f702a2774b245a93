#!/usr/bin/env bash
# Selecting text in the real window, under openbox: a right-button drag
# selects what pagora-book select says it selects; Ctrl+C puts exactly that
# text on the clipboard, and it is the primary selection too; a right click
# opens the menu, its look-up entry opens the card and Esc closes it; a left
# click still turns the page.
source "$(dirname "$0")/lib.sh"

start_xvfb 1280x1024
start_wm
make_app_dir
cp "$(dirname "$PAGORA_BOOK_BIN")/characters.idx" "$APP_DIR/" 2>/dev/null ||
  fail "the character index was not built beside pagora-book"

{
  printf '第一節\n'
  for i in $(seq 1 40); do printf '天地玄黃宇宙洪荒日月盈昃辰宿列張寒來暑往秋收冬藏閏餘成歲第%s行\n' "$i"; done
} >"$WORK/s1.txt"
make_book "$APP_DIR/book.updb" utf16 "選取" "$WORK/s1.txt"
write_settings 3 "1 1 1 book.updb"
start_reader

settled_shot "$WORK/first.png"
WIDTH=$(identify -format '%w' "$WORK/first.png")
HEIGHT=$(identify -format '%h' "$WORK/first.png")

# Paper-coloured pixels: the menu and the card are drawn on it.
paper_pixels() {
  convert "$1" -fill black +opaque '#FFFDE7' -fill white -opaque '#FFFDE7' -format '%[fx:int(mean*w*h)]' info:
}
red_left() {
  convert "$1" -crop "${WIDTH}x1+0+$((HEIGHT - 2))" +repage txt:- | awk -F'[,:]' '!found && /#FF0000/ { print $1; found = 1 }'
}

# From the second column's third cell to the fourth column's fifth: across a
# line end. The first column's cells start at x = WIDTH - 20 - 16 - 1.
x1=$((WIDTH - 37 - 24 + 8)) y1=$(((HEIGHT - (HEIGHT - 32) / 16 * 16) / 2 + 2 * 16 + 8))
x2=$((x1 - 48)) y2=$((y1 + 2 * 16))
expected=$("$PAGORA_BOOK_BIN" select "$APP_DIR/book.updb" 1 1 "$x1" "$y1" "$x2" "$y2" --width "$WIDTH" --height "$HEIGHT" |
  python3 -c 'import json, sys; sys.stdout.write(json.load(sys.stdin)["text"])')
[[ $expected == *$'\r\n'* ]] || fail "pagora-book select should select across a line end: '$expected'"

xdotool mousemove --window "$WINDOW_ID" "$x1" "$y1" mousedown 3 mousemove --window "$WINDOW_ID" $((x1 - 12)) "$y1" \
  mousemove --window "$WINDOW_ID" "$x2" "$y2" mouseup 3
sleep 0.5
screenshot "$WORK/selected.png"
[ "$(paper_pixels "$WORK/selected.png")" = 0 ] || fail "a drag should open no menu"
changed=$(compare -metric AE "$WORK/first.png" "$WORK/selected.png" null: 2>&1 || true)
[ "$changed" -gt 200 ] || fail "the selection is not shown: $changed pixels changed"

key ctrl+c
clip() { [ "$(xclip -o -selection "$1" | od -An -tx1)" = "$(printf '%s' "$expected" | od -An -tx1)" ]; }
eventually clip clipboard || fail "clipboard holds '$(xclip -o -selection clipboard)', not '$expected'"
eventually clip primary || fail "primary selection holds '$(xclip -o -selection primary)', not '$expected'"

# A right click on a character outside the selection: its word, and the menu.
cx=$((x1 - 5 * 24)) cy=$y1
xdotool mousemove --window "$WINDOW_ID" "$cx" "$cy" click 3
sleep 0.5
word=$(xclip -o -selection primary)
[[ -n $word && $word != "$expected" && $(cat "$WORK/s1.txt") == *"$word"* ]] ||
  fail "a right click should select the word under it, not '$word'"
screenshot "$WORK/menu.png"
menu=$(paper_pixels "$WORK/menu.png")
[ "$menu" -gt 1000 ] || fail "a right click should open the menu: $menu paper pixels"
# Its third entry, 查字; the menu leaves the word in sight.
read -r mx my _ _ <<<"$(paper_box "$WORK/menu.png")"
[ $((mx + 100)) -le "$cx" ] || [ "$mx" -gt $((cx + 8)) ] || fail "the menu covers the word: it starts at $mx"
click $((mx + 20)) $((my + 2 * 24 + 12))
screenshot "$WORK/card.png"
card=$(paper_pixels "$WORK/card.png")
[ "$card" -gt "$menu" ] || fail "the card should open: $card paper pixels after the menu's $menu"
key Escape
screenshot "$WORK/closed.png"
[ "$(paper_pixels "$WORK/closed.png")" = 0 ] || fail "Esc should close the card"

# The left button still turns the page, and the page change clears the selection.
before=$(red_left "$WORK/closed.png")
click 40 $((HEIGHT - 60))
screenshot "$WORK/turned.png"
after=$(red_left "$WORK/turned.png")
[ "$after" -lt "$before" ] || fail "a left click should turn the page: mark at $after, was $before"
eventually sh -c '[ -z "$(xclip -o -selection primary 2>/dev/null)" ]' || fail "the primary selection should be given up"

close_reader
echo "select text: passed"
