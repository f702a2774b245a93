#!/usr/bin/env bash
# A new user's first hour, under a window manager: an anthology without an
# extension, opened as `pagora FILE`, gets one contents entry per poem and
# each entry opens its poem. Handing the same text over again asks whether
# to add a copy; Esc adds nothing. F11 enters full screen and Esc leaves it.
# Ctrl+F, Enter, F3 and Shift+F3 walk the matches of a word.
source "$(dirname "$0")/lib.sh"
use_session_bus

start_xvfb 1280x1024
start_wm
make_app_dir
REAL_APP="$APP_DIR"
mkdir -p "$WORK/files"
TEXT="$WORK/files/唐詩選"
python3 - "$TEXT" <<'PY'
import sys
poems = [("靜夜思", "李白", "床前明月光，疑是地上霜。舉頭望明月，低頭思故鄉。"),
         ("春曉", "孟浩然", "春眠不覺曉，處處聞啼鳥。夜來風雨聲，花落知多少。"),
         ("登鸛雀樓", "王之渙", "白日依山盡，黃河入海流。欲窮千里目，更上一層樓。"),
         ("相思", "王維", "紅豆生南國，春來發幾枝。願君多采擷，此物最相思。"),
         ("江雪", "柳宗元", "千山鳥飛絕，萬徑人蹤滅。孤舟蓑笠翁，獨釣寒江雪。")]
with open(sys.argv[1], "w", encoding="utf-8") as f:
    f.write("\n%\n".join(f"《{t}》\n{a}\n{p}" for t, a, p in poems) + "\n")
PY

APP_DIR="$WORK/launch"
mkdir -p "$APP_DIR"
printf '#!/bin/sh\nexec "%s/pagora" "%s"\n' "$REAL_APP" "$TEXT" >"$APP_DIR/pagora"
chmod +x "$APP_DIR/pagora"
BOOK="$REAL_APP/唐詩選.updb"

start_reader
eventually caption_is "唐詩選 - Pagora 1.8" || fail "caption is '$(window_name)'"
[ -f "$BOOK" ] || fail "the text without an extension was not imported: $(ls "$REAL_APP")"
"$PAGORA_BOOK_BIN" info "$BOOK" | grep -q '"sections":5' || fail "not one section a poem: $("$PAGORA_BOOK_BIN" info "$BOOK")"

# The contents: one column a poem from the right; the third opens 登鸛雀樓.
settled_shot "$WORK/contents.png"
WIDTH=$(identify -format '%w' "$WORK/contents.png")
HEIGHT=$(identify -format '%h' "$WORK/contents.png")
COLUMN=$((WIDTH / 16))
click $((WIDTH - COLUMN * 5 / 2)) 200
"$PAGORA_BOOK_BIN" render "$BOOK" 3 1 --width "$WIDTH" --height "$HEIGHT" -o "$WORK/expected.png"
shows_expected() {
  screenshot "$WORK/page.png"
  [ "$(compare -metric AE "$WORK/expected.png" "$WORK/page.png" null: 2>&1 || true)" = "0" ]
}
eventually shows_expected || fail "the third entry did not open the third poem"

# The same text again: the question comes; Esc closes it and adds nothing.
env QT_QPA_PLATFORM=xcb "$REAL_APP/pagora" "$TEXT" >/dev/null 2>&1 &
SECOND=$!
question_shown() { [ "$(xdotool search --onlyvisible --name "Pagora 1\.8" | wc -l)" -ge 2 ]; }
eventually question_shown || fail "no question about the same text"
xdotool key Escape
sleep 0.5
eventually bash -c "! kill -0 $SECOND 2>/dev/null" || fail "the second start did not end"
[ "$(find "$REAL_APP" -name '唐詩選*.updb' | wc -l)" = 1 ] || fail "Esc added a copy: $(ls "$REAL_APP")"
eventually shows_expected || fail "the page changed after the question"

# F11 fills the screen; Esc gives the window back.
BEFORE=$(geometry)
key F11
expect_geometry 1280x1024 "full screen"
key Escape
expect_geometry "$BEFORE" "after Esc out of full screen"

# Ctrl+F, a word, Enter: the first match after the shown page, in the
# fifth poem's title; F3 the next, in its last line; Shift+F3 back.
# A loaded machine may take a key late: each step waits for its picture.
same_shot() { compare -metric AE "$1" "$2" null: >/dev/null 2>&1; }
shot_unlike() { settled_shot "$2" && ! same_shot "$1" "$2"; }
shot_like() { settled_shot "$2" && same_shot "$1" "$2"; }
key ctrl+f
xdotool type --window "$WINDOW_ID" --delay 50 "江"
sleep 0.3
settled_shot "$WORK/typed.png"
key Return
eventually shot_unlike "$WORK/typed.png" "$WORK/first-hit.png" || fail "Enter did not show the first match"
key F3
eventually shot_unlike "$WORK/first-hit.png" "$WORK/second-hit.png" || fail "F3 did not move to the next match"
key shift+F3
eventually shot_like "$WORK/first-hit.png" "$WORK/back.png" || fail "Shift+F3 did not come back to the first match"
close_reader
echo "day_one: passed"
