#!/usr/bin/env bash
# Marking a passage in the real window: a right click opens the menu, "畫線"
# and the first colour mark it; after a restart the band is still drawn
# beside the passage, the notes screen lists it, and a tap there brings its
# page back from another page.
source "$(dirname "$0")/lib.sh"

start_xvfb 1280x1024
make_app_dir
{
  printf '第一節\n'
  for i in $(seq 1 60); do printf '天地玄黃宇宙洪荒日月盈昃辰宿列張寒來暑往秋收冬藏閏餘成歲第%s行\n' "$i"; done
} >"$WORK/s1.txt"
make_book "$APP_DIR/book.updb" utf16 "畫線" "$WORK/s1.txt"
write_settings 3 "1 1 1 book.updb"
NOTES="$APP_DIR/notes.sqlite"
start_reader

settled_shot "$WORK/first.png"
WIDTH=$(identify -format '%w' "$WORK/first.png")
HEIGHT=$(identify -format '%h' "$WORK/first.png")

# Mode 3: a 384 x 544 panel. Columns of 16 px cells from x = WIDTH - 37
# leftwards by 24; rows from the top margin down by 16.
TOP=$(((HEIGHT - (HEIGHT - 32) / 16 * 16) / 2))
cellx() { echo $((WIDTH - 37 - 24 * $1)); }
celly() { echo $((TOP + 16 * $1)); }
# The band of a marked cell: right of it, in the gap before the next column.
band() { pixel "$1" $(($(cellx "$2") + 17)) $(($(celly "$3") + 8)); }

# A right click on the fifth cell of the second column: its word and the menu.
cx=$(($(cellx 1) + 8)) cy=$(($(celly 4) + 8))
xdotool mousemove --window "$WINDOW_ID" "$cx" "$cy" click 3
sleep 0.5
screenshot "$WORK/menu.png"
read -r mleft top _ mheight <<<"$(paper_box "$WORK/menu.png")"
[ -n "$top" ] || fail "a right click should open the menu"
# Entries of 24 px inside a one-pixel frame; "畫線" is the one before the last.
entries=$(((mheight + 2) / 24))
[ "$entries" -ge 5 ] || fail "the menu has $entries entries"
click $((mleft + 20)) $((top - 1 + (entries - 2) * 24 + 12))
screenshot "$WORK/swatches.png"
read -r sleft stop _ sheight <<<"$(paper_box "$WORK/swatches.png")"
[ -n "$stop" ] && [ "$sheight" -lt 60 ] || fail "the colours should replace the menu"
# The first colour: the row is kept inside the panel, so found on the screen.
click $((sleft - 1 + 6 + 12)) $((stop - 1 + 6 + 12))
screenshot "$WORK/marked.png"
[ "$(band "$WORK/marked.png" 1 4)" = "200,0,0" ] || fail "the mark's band is $(band "$WORK/marked.png" 1 4)"
[ "$(band "$WORK/first.png" 1 4)" != "200,0,0" ] || fail "the band was there before the mark"
list=$("$PAGORA_BOOK_BIN" notes list "$APP_DIR/book.updb" --db "$NOTES")
[[ $list == *'"colour": 1'* && $list == *'"section": 1'* ]] || fail "the database holds: $list"
close_reader

# Again: the band comes back with the book.
start_reader
restarted() { screenshot "$WORK/restart.png" && [ "$(band "$WORK/restart.png" 1 4)" = "200,0,0" ]; }
eventually restarted || fail "after a restart the band is $(band "$WORK/restart.png" 1 4)"

# Another page, then the menu's "附註" (between "直橫" and the window row).
click 40 $((HEIGHT - 60))
screenshot "$WORK/page2.png"
[ "$(band "$WORK/page2.png" 1 4)" != "200,0,0" ] || fail "the page should have turned"
click $((WIDTH / 2)) $((HEIGHT / 2))
click $(((74 + 160 - 36) / 2 + 18)) $((HEIGHT - 3 * 34 + 17))
settled_shot "$WORK/notes.png"
# The first column lists the passage, with its band in the pale form of
# the colour that the screen's background needs.
pale=$(convert "$WORK/notes.png" -crop "24x$((HEIGHT - 60))+$((WIDTH - 24))+30" +repage txt:- | grep -c '#FFA0A0' || true)
[ "$pale" -gt 10 ] || fail "the notes screen should list the passage: $pale band pixels"
# A tap on it: its page, the passage selected.
click $((WIDTH - 12)) 200
settled_shot "$WORK/back.png"
[ "$(band "$WORK/back.png" 1 4)" = "200,0,0" ] || fail "a tap should bring the passage back: $(band "$WORK/back.png" 1 4)"
[ "$(pixel "$WORK/back.png" $(($(cellx 1) + 1)) $(($(celly 4) + 2)))" != "$(pixel "$WORK/marked.png" $(($(cellx 1) + 1)) $(($(celly 4) + 2)))" ] ||
  fail "the passage should be shown selected"
close_reader
echo "marks and notes: passed"
