#!/usr/bin/env bash
# The reader's dynamic section (readelf -d): libraries it must not link, one
# row each, with the reason. A row that comes back fails the test.
set -euo pipefail
reader=${1:?pagora binary}
forbidden=(
  # One reader per user goes over D-Bus, which Qt's platform integration loads anyway.
  "libQt6Network.so"
  # Texts and EPUBs are read by pagora-book in a child process.
  "libzip.so"
  "libxml2.so"
  "libopencc.so"
  "libuchardet.so"
)
needed=$(readelf -d "$reader" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[ -n "$needed" ] || { echo "FAIL: no NEEDED entries read from $reader" >&2; exit 1; }
status=0
for lib in "${forbidden[@]}"; do
  if grep -q "^${lib//./\\.}" <<<"$needed"; then
    echo "FAIL: $reader links $lib" >&2
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "reader_links: passed ($(wc -l <<<"$needed") libraries, none forbidden)"
exit "$status"
