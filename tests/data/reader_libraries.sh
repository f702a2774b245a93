#!/usr/bin/env bash
# The reader maps no import library at start-up: texts and EPUBs are read by
# pagora-book in a child process. Fails when one of them is NEEDED again.
#   reader_libraries.sh PAGORA
set -euo pipefail
reader=$1
# Shared objects the reader must not need (matched against NEEDED names).
forbidden=(libzip libxml2 libopencc libuchardet)
needed=$(readelf -d "$reader" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
status=0
for lib in "${forbidden[@]}"; do
  if grep -q "^$lib\.so" <<<"$needed"; then
    echo "pagora needs $lib:" >&2
    grep "^$lib\.so" <<<"$needed" >&2
    status=1
  fi
done
exit $status
