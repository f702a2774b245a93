#!/usr/bin/env bash
# The installed package: the reader starts from /usr/bin under Xvfb as an
# ordinary user, makes its books folder and closes; the desktop offers it
# for the book types the package defines.
source "$(dirname "$0")/../realwindow/lib.sh" /usr/bin/pagora /usr/bin/pagora-book "$(cd "$(dirname "$0")/../.." && pwd)"

for type in application/x-pagora-book application/x-pagora-unicode-book application/epub+zip; do
  apps=$(gio mime "$type" 2>/dev/null || true)
  [[ "$apps" == *io.github.pagora_reader.Pagora.desktop* ]] || fail "the desktop does not offer Pagora for $type"
done

# The character index is installed where the tool and the reader look for it.
/usr/bin/pagora-book lookup 中 | grep -q 'ㄓㄨㄥ' || fail "the installed pagora-book finds no character data"
# So is the Simplified to Traditional table.
printf '头发' | /usr/bin/pagora-book convert --to-traditional | grep -q '頭髮' ||
  fail "the installed pagora-book finds no conversion table"

start_xvfb
chmod 755 "$WORK"
APP_DIR=/usr/bin
USER_HOME="$WORK/home"
mkdir -p "$USER_HOME"
READER_PREFIX=()
if [ "$(id -u)" -eq 0 ]; then
  # Root may write beside the executable: run as an ordinary user.
  chown nobody "$USER_HOME"
  READER_PREFIX=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
start_reader HOME="$USER_HOME" XDG_CONFIG_HOME="$USER_HOME/.config" XDG_DOCUMENTS_DIR="$USER_HOME/Documents"
close_reader
[ -d "$USER_HOME/Documents/Pagora" ] || fail "the installed reader did not make its books folder"
echo "installed package: passed"
