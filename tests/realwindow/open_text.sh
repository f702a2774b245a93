#!/usr/bin/env bash
# Opening a text file with Pagora: it is imported into the main shelf and
# opens as a new book does, on its contents; its first section's first page
# is the page the book tool draws. A second start with another file hands it
# to the running reader, which imports and opens that one too.
source "$(dirname "$0")/lib.sh"
use_session_bus

start_xvfb
make_app_dir
REAL_APP="$APP_DIR"
mkdir -p "$WORK/files"
python3 - "$WORK/files" <<'PY'
import sys
verse = "天地玄黃，宇宙洪荒。日月盈昃，辰宿列張。寒來暑往，秋收冬藏。\n"
with open(f"{sys.argv[1]}/千字文.txt", "w", encoding="utf-8") as f:
    f.write("第一章 天地\n" + verse * 30 + "第二章 金生\n" + verse * 30)
with open(f"{sys.argv[1]}/百家姓.txt", "w", encoding="utf-8") as f:
    f.write("第一章\n趙錢孫李，周吳鄭王。\n")
PY

# The reader is started as `pagora FILE`, by a launcher in another folder
# (the settings stay beside the real executable).
APP_DIR="$WORK/launch"
mkdir -p "$APP_DIR"
printf '#!/bin/sh\nexec "%s/pagora" "%s"\n' "$REAL_APP" "$WORK/files/千字文.txt" >"$APP_DIR/pagora"
chmod +x "$APP_DIR/pagora"


start_reader
eventually caption_is "千字文 - Pagora 1.8" || fail "caption is '$(window_name)'"
[ -f "$REAL_APP/千字文.updb" ] || fail "the text was not imported into the main shelf: $(ls "$REAL_APP")"

# A new book opens on its contents; the first section is the rightmost column.
screenshot "$WORK/contents.png"
WIDTH=$(identify -format '%w' "$WORK/contents.png")
HEIGHT=$(identify -format '%h' "$WORK/contents.png")
click $((WIDTH - 20)) 200
"$PAGORA_BOOK_BIN" render "$REAL_APP/千字文.updb" 1 1 --width "$WIDTH" --height "$HEIGHT" -o "$WORK/expected.png"
first_page() {
  screenshot "$WORK/page.png"
  [ "$(compare -metric AE "$WORK/expected.png" "$WORK/page.png" null: 2>&1 || true)" = "0" ]
}
eventually first_page || fail "the first page differs from the book tool's ($(compare -metric AE "$WORK/expected.png" "$WORK/page.png" null: 2>&1 || true) pixels)"

# A second start hands its file over and ends; the running reader opens it.
timeout 20 env QT_QPA_PLATFORM=xcb "$REAL_APP/pagora" "$WORK/files/百家姓.txt" || fail "the second start did not end by itself"
eventually caption_is "百家姓 - Pagora 1.8" || fail "caption after the second start is '$(window_name)'"
[ -f "$REAL_APP/百家姓.updb" ] || fail "the second text was not imported"
kill -0 "$READER_PID" 2>/dev/null || fail "the first reader ended"
close_reader
echo "open_text: passed"
