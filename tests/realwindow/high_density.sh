#!/usr/bin/env bash
# At 200% scaling the window keeps every layout number in logical pixels
# (twice as many device pixels), and text is drawn at device resolution:
# glyph edges are not pixel-doubled.
source "$(dirname "$0")/lib.sh"

start_xvfb 1280x1024
make_app_dir
printf '第一回\n天地玄黃宇宙洪荒\n' >"$WORK/s1.txt"
make_book "$APP_DIR/a.updb" utf16 "天地玄黃" "$WORK/s1.txt"
# Window mode 2 in both runs: 576 x 424 logical.
printf '\xff\xfe' >"$APP_DIR/Pagora.ini"
printf '1 2 1 %s/\r\n1 1 1 none.pdb\r\n2 0 新細明體 [14]\r\n' "$APP_DIR" | iconv -f UTF-8 -t UTF-16LE >>"$APP_DIR/Pagora.ini"
cp "$APP_DIR/Pagora.ini" "$WORK/ini"

size_of() {
  xdotool getwindowgeometry "$WINDOW_ID" | sed -n 's/.*Geometry: //p'
}

start_reader QT_SCALE_FACTOR=1
[ "$(size_of)" = "576x424" ] || fail "logical size at 100% is $(size_of)"
close_reader

cp "$WORK/ini" "$APP_DIR/Pagora.ini"
start_reader QT_SCALE_FACTOR=2
[ "$(size_of)" = "1152x848" ] || fail "size at 200% is $(size_of), expected twice 576x424"
screenshot "$WORK/hd.png"
close_reader

# The line under the title bar is at logical y = 26: device rows 52 and 53.
[ "$(pixel "$WORK/hd.png" 300 52)" = "0,0,0" ] || fail "no line at device row 52"
[ "$(pixel "$WORK/hd.png" 300 53)" = "0,0,0" ] || fail "no line at device row 53"
[ "$(pixel "$WORK/hd.png" 300 50)" != "0,0,0" ] || fail "the line is too thick"

# The shelf title "我的書架" starts at logical (22, 5), 64 x 16: a text drawn
# at 100% and enlarged would consist of 2 x 2 blocks of equal pixels only.
convert "$WORK/hd.png" -crop 128x32+44+10 +repage -depth 8 "rgb:$WORK/title.rgb"
python3 - "$WORK/title.rgb" <<'PY' || fail "title text is pixel-doubled, not drawn at device resolution"
import sys
data = open(sys.argv[1], "rb").read()
w, h = 128, 32
px = lambda x, y: data[3 * (y * w + x):3 * (y * w + x) + 3]
mixed = sum(1 for y in range(0, h, 2) for x in range(0, w, 2)
            if len({px(x, y), px(x + 1, y), px(x, y + 1), px(x + 1, y + 1)}) > 1)
print("blocks with detail finer than a logical pixel:", mixed)
sys.exit(0 if mixed > 20 else 1)
PY
echo "high density: passed"
