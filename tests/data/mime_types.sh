#!/usr/bin/env bash
# The MIME definitions compile, and a desktop's type lookup tells our books
# from other programs' .pdb files by the creator code, not by the name.
# Arguments: pagora-book binary, source folder.
set -euo pipefail
BOOK_TOOL=$1
SOURCE_DIR=$2
WORK=$(mktemp -d "${TMPDIR:-/tmp}/pagora-mime-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

mkdir -p "$WORK/share/mime/packages" "$WORK/home"
cp /usr/share/mime/packages/freedesktop.org.xml "$SOURCE_DIR/data/io.github.pagora_reader.Pagora.mime.xml" \
  "$WORK/share/mime/packages/"
# Inside the search path, so that it does not warn about it.
XDG_DATA_DIRS="$WORK/share" update-mime-database "$WORK/share/mime"

printf '第一回\n天地玄黃\n' >"$WORK/s1.txt"
"$BOOK_TOOL" make --encoding cp950 --title 甲 -o "$WORK/big5.pdb" "$WORK/s1.txt" >/dev/null
"$BOOK_TOOL" make --encoding utf16 --title 乙 -o "$WORK/unicode.updb" "$WORK/s1.txt" >/dev/null
cp "$WORK/unicode.updb" "$WORK/unicode-named.pdb"
cp "$WORK/big5.pdb" "$WORK/big5-named.updb"
cp "$WORK/big5.pdb" "$WORK/no-extension"
# Another program's Palm database: same layout, other type and creator.
{ head -c 60 "$WORK/big5.pdb"; printf 'TEXtREAd'; tail -c +69 "$WORK/big5.pdb"; } >"$WORK/other.pdb"

status=0
while read -r file expected; do
  got=$(XDG_DATA_DIRS="$WORK/share" XDG_DATA_HOME="$WORK/home" gio info -a standard::content-type "$WORK/$file" 2>/dev/null |
    sed -n 's/.*standard::content-type: //p')
  if [ "$got" != "$expected" ]; then
    echo "FAIL: $file is '$got', expected '$expected'" >&2
    status=1
  fi
done <<'EOF_CASES'
big5.pdb application/x-pagora-book
unicode.updb application/x-pagora-unicode-book
unicode-named.pdb application/x-pagora-unicode-book
big5-named.updb application/x-pagora-book
no-extension application/x-pagora-book
other.pdb application/x-aportisdoc
EOF_CASES
exit $status
