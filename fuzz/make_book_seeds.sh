#!/usr/bin/env bash
# Writes the seed books of fuzz/corpus/book/ with the project's own tool:
#   bash fuzz/make_book_seeds.sh build/pagora-book
# Inputs that ever crashed the parser are added to the same folder by hand
# and replayed by the book tests.
set -euo pipefail
tool=$1
here=$(cd "$(dirname "$0")" && pwd)
out="$here/corpus/book"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

printf '第一章\n道可道，非常道。\n' >"$work/1.txt"
printf '第二章\r\n天下皆知美之為美。' >"$work/2.txt"
printf 'Three\nabc\n' >"$work/3.txt"

"$tool" make --encoding cp950 --title '道德經' -o "$out/seed-cp950.pdb" "$work/1.txt" "$work/2.txt" "$work/3.txt"
"$tool" make --encoding utf16 --title '道德經' -o "$out/seed-utf16.updb" "$work/1.txt" "$work/2.txt" "$work/3.txt"
"$tool" make --encoding utf16 --title 'T' -o "$out/seed-one-section.updb" "$work/3.txt"
# A book cut inside its header record.
head -c 120 "$out/seed-utf16.updb" >"$out/seed-cut-header.updb"
# A bookmark record (section 2: pages 3 and 9; end) after the last section:
# record count 5 and one more entry, every offset moved by 8.
python3 - "$out/seed-cp950.pdb" "$out/seed-bookmarks.pdb" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
count = struct.unpack('>H', data[76:78])[0]
offsets = [struct.unpack('>I', data[78 + 8 * i:82 + 8 * i])[0] + 8 for i in range(count)]
body = data[78 + 8 * count:]
mark = struct.pack('<hhhhh', 2, 2, 3, 9, -1)
offsets.append(78 + 8 * (count + 1) + len(body))
entries = b''.join(struct.pack('>IB3s', o, 0, bytes([0, 0, i])) for i, o in enumerate(offsets))
open(sys.argv[2], 'wb').write(data[:76] + struct.pack('>H', count + 1) + entries + body + mark)
PY
