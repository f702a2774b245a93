#!/usr/bin/env bash
# Writes the seed inputs of fuzz/corpus/<target>/, books made with the
# project's own tool:
#   bash fuzz/make_seeds.sh build/pagora-book
# Inputs that ever crashed a target are added to its folder by hand and
# replayed by the ordinary tests.
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

# Bookmark rewrite: section count, record length, record, then a book.
mkdir -p "$here/corpus/bookmark"
python3 - "$out" "$here/corpus/bookmark" <<'PY'
import struct, sys
books, out = sys.argv[1], sys.argv[2]
def seed(name, sections, record, book):
    data = open(f'{books}/{book}', 'rb').read()
    open(f'{out}/{name}', 'wb').write(bytes([sections, len(record)]) + record + data)
seed('seed-append', 3, struct.pack('<hhhhh', 1, 1, 4, -1, 0)[:8], 'seed-cp950.pdb')
seed('seed-rewrite', 3, struct.pack('<hhhhhh', 3, 2, 5, 7, -1, 0)[:10], 'seed-bookmarks.pdb')
seed('seed-empty-record', 3, b'', 'seed-utf16.updb')
seed('seed-short-book', 1, b'\xff\xff', 'seed-cut-header.updb')
PY

# Settings file: the three lines in each text form the reader accepts.
mkdir -p "$here/corpus/settings"
python3 - "$here/corpus/settings" <<'PY'
import sys
out = sys.argv[1]
full = '1 2 1 /書架/\r\n3 2 5 a b.updb\r\n2 3 AR PL UMing TW [18]\r\n'
open(f'{out}/seed-utf16le.ini', 'wb').write(b'\xff\xfe' + full.encode('utf-16-le'))
open(f'{out}/seed-utf16be.ini', 'wb').write(b'\xfe\xff' + full.encode('utf-16-be'))
open(f'{out}/seed-utf8.ini', 'wb').write(full.encode('utf-8'))
no_book = '2 9 9 /x/\r\n0 0 0 \r\n1 0 新細明體 [14]\r\n'
open(f'{out}/seed-no-book.ini', 'wb').write(b'\xff\xfe' + no_book.encode('utf-16-le'))
PY
