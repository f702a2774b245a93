#!/usr/bin/env bash
# Installs what is missing, builds, and starts the reader on the sample shelf.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAGORA_TESTS=OFF -DPAGORA_BENCH=OFF >/dev/null
cmake --build build/release --target pagora pagora-book sample_shelf
exec build/release/pagora "$@"
