#!/usr/bin/env bash
# An installed reader (executable folder not writable) keeps its settings in
# $XDG_CONFIG_HOME/pagora/ and its books in a per-user folder made on first
# start; it writes nothing beside the executable. A portable copy still keeps
# its settings beside itself.
source "$(dirname "$0")/lib.sh"

BUILD_DIR=$(dirname "$PAGORA_BIN")
start_xvfb
chmod 755 "$WORK"

ROOT="$WORK/root"
DESTDIR="$ROOT" cmake --install "$BUILD_DIR" --prefix /usr/local >/dev/null
for f in bin/pagora bin/pagora-book share/applications/io.github.pagora_reader.Pagora.desktop \
         share/metainfo/io.github.pagora_reader.Pagora.metainfo.xml \
         share/icons/hicolor/scalable/apps/pagora.svg share/icons/hicolor/48x48/apps/pagora.png; do
  [ -e "$ROOT/usr/local/$f" ] || fail "cmake --install did not install $f"
done
APP_DIR="$ROOT/usr/local/bin"
chmod -R a+rX "$ROOT"
chmod 555 "$APP_DIR"

USER_HOME="$WORK/home"
CONFIG="$WORK/config"
mkdir -p "$USER_HOME" "$CONFIG"
READER_PREFIX=()
if [ "$(id -u)" -eq 0 ]; then
  # Permissions do not bind root: run the reader as an ordinary user.
  chown -R nobody "$USER_HOME" "$CONFIG"
  READER_PREFIX=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
run_env=(HOME="$USER_HOME" XDG_CONFIG_HOME="$CONFIG" XDG_DOCUMENTS_DIR="$USER_HOME/Documents")
SHELF="$USER_HOME/Documents/Pagora"

# First start: the per-user shelf is made; an empty shelf saves nothing.
start_reader "${run_env[@]}"
close_reader
[ -d "$SHELF" ] || fail "the per-user books folder was not made"
[ ! -e "$CONFIG/pagora/Pagora.ini" ] || fail "settings written for an empty shelf"

# With a book on the shelf the settings go to the configuration folder.
printf '第一回\n天地玄黃\n' >"$WORK/s1.txt"
make_book "$SHELF/book.updb" utf16 "書" "$WORK/s1.txt"
chmod a+r "$SHELF/book.updb"
start_reader "${run_env[@]}"
close_reader
[ -f "$CONFIG/pagora/Pagora.ini" ] || fail "no settings file in the configuration folder"
[ ! -e "$APP_DIR/Pagora.ini" ] || fail "settings written beside the installed executable"
ls "$APP_DIR" | grep -qv -E '^pagora(-book)?$' && fail "something was written beside the executable"
line1=$(iconv -f UTF-16 -t UTF-8 "$CONFIG/pagora/Pagora.ini" | head -n 1 | tr -d '\r')
[ "$line1" = "1 2 1 $SHELF/" ] || fail "unexpected first settings line '$line1'"

# The file is read back at the next start: point the main shelf elsewhere.
OTHER="$WORK/other"
mkdir -p "$OTHER"
make_book "$OTHER/other.pdb" cp950 "別" "$WORK/s1.txt"
chmod -R a+rX "$OTHER"
printf '\xff\xfe' >"$WORK/ini"
printf '2 5 1 %s/\r\n0 0 0 other.pdb\r\n2 0 新細明體 [14]\r\n' "$OTHER" | iconv -f UTF-8 -t UTF-16LE >>"$WORK/ini"
cp "$WORK/ini" "$CONFIG/pagora/Pagora.ini"
chmod a+rw "$CONFIG/pagora/Pagora.ini"
start_reader "${run_env[@]}"
close_reader
line1=$(iconv -f UTF-16 -t UTF-8 "$CONFIG/pagora/Pagora.ini" | head -n 1 | tr -d '\r')
[ "$line1" = "2 5 1 $OTHER/" ] || fail "settings were not read back: '$line1'"

# Portable: a writable folder keeps the settings beside the executable.
READER_PREFIX=()
make_app_dir
make_book "$APP_DIR/book.pdb" cp950 "書" "$WORK/s1.txt"
start_reader HOME="$USER_HOME" XDG_CONFIG_HOME="$CONFIG/portable"
close_reader
[ -f "$APP_DIR/Pagora.ini" ] || fail "portable reader did not write beside its executable"
[ ! -e "$CONFIG/portable" ] || fail "portable reader wrote into the configuration folder"
echo "installed mode: passed"
