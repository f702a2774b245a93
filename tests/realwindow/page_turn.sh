#!/usr/bin/env bash
# Turning pages with the keyboard in the real window: the red page mark along
# the bottom edge moves left page by page, crossing into the next section
# brings it back to the right edge and moves the section mark along the top,
# and turning back restores the first page pixel for pixel.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_app_dir

# Three pages in section 1 and two in section 2 at window mode 1.
long_line() {
  local n=$1 i line=""
  for i in $(seq 1 "$n"); do line+="天"; done
  printf '%s' "$line"
}
{ printf '第一節\n'; long_line 700; printf '\n'; } >"$WORK/s1.txt"
{ printf '第二節\n'; long_line 400; printf '\n'; } >"$WORK/s2.txt"
make_book "$APP_DIR/book.updb" utf16 "翻頁" "$WORK/s1.txt" "$WORK/s2.txt"

# Reopen the book at section 1, page 1, in window mode 1.
printf '\xff\xfe' >"$APP_DIR/Pagora.ini"
printf '1 2 1 %s/\r\n2 1 1 book.updb\r\n1 0 新細明體 [14]\r\n' "$APP_DIR" |
  iconv -f UTF-8 -t UTF-16LE >>"$APP_DIR/Pagora.ini"

start_reader

# red_span FILE Y -> "first last" x of the red pixels on row Y, or "none".
red_span() {
  local xs
  xs=$(convert "$1" -crop "${WIDTH}x1+0+$2" +repage txt:- |
    awk -F'[,:]' '/#FF0000/ { print $1 }' | sort -n)
  if [ -z "$xs" ]; then
    echo none
  else
    echo "$(echo "$xs" | head -n 1) $(echo "$xs" | tail -n 1)"
  fi
}

shot() {
  screenshot "$WORK/$1.png"
  PAGE_SPAN=$(red_span "$WORK/$1.png" $((HEIGHT - 2)))
  SECTION_SPAN=$(red_span "$WORK/$1.png" 1)
}

screenshot "$WORK/first.png"
WIDTH=$(identify -format '%w' "$WORK/first.png")
HEIGHT=$(identify -format '%h' "$WORK/first.png")
shot first
[ "$PAGE_SPAN" != none ] || fail "no page mark on the first page (is the book open?)"
first_page=$PAGE_SPAN
first_section=$SECTION_SPAN
read -r p0 p1 <<<"$PAGE_SPAN"
[ "$p1" -eq $((WIDTH - 1)) ] || fail "page 1 mark should reach the right edge: $PAGE_SPAN"

# Forward through section 1: the mark moves left each time.
prev0=$p0
for n in 2 3; do
  key Left
  shot "page$n"
  read -r a b <<<"$PAGE_SPAN"
  [ "$a" -lt "$prev0" ] || fail "page $n mark did not move left: $PAGE_SPAN after start $prev0"
  [ "$SECTION_SPAN" = "$first_section" ] || fail "section mark moved inside the section"
  prev0=$a
done
[ "$a" -eq 0 ] || fail "the last page's mark should start at the left edge: $PAGE_SPAN"
last_page=$PAGE_SPAN

# Across the section boundary.
key space
shot section2
read -r a b <<<"$PAGE_SPAN"
[ "$b" -eq $((WIDTH - 1)) ] || fail "page 1 of section 2 mark should reach the right edge: $PAGE_SPAN"
read -r s0 _ <<<"$first_section"
read -r t0 _ <<<"$SECTION_SPAN"
[ "$t0" -lt "$s0" ] || fail "section mark did not move left: $SECTION_SPAN after $first_section"

# Back again: the last page of section 1, then the first page exactly.
key Right
shot back3
[ "$PAGE_SPAN" = "$last_page" ] || fail "back across the boundary should show page 3: $PAGE_SPAN"
key BackSpace
key Up
shot back1
[ "$PAGE_SPAN" = "$first_page" ] || fail "back to page 1 mark: $PAGE_SPAN"
diff_pixels=$(compare -metric AE "$WORK/first.png" "$WORK/back1.png" null: 2>&1 || true)
[ "$diff_pixels" = "0" ] || fail "page 1 differs after reading forward and back: $diff_pixels pixels"

# A key that turns a section from the middle goes to the last page.
key Left
key Page_Down
shot sectionkey
[ "$PAGE_SPAN" = "$last_page" ] || fail "Page Down from page 2 should show the last page: $PAGE_SPAN"

close_reader
line2=$(settings_text | sed -n 2p | tr -d '\r')
[ "$line2" = "2 1 3 book.updb" ] || fail "settings should remember section 1, page 3: '$line2'"
echo "page turn: passed"
