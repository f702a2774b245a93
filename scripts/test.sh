#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless: the plain
# build, the same tests under AddressSanitizer and UndefinedBehaviorSanitizer,
# a short fuzzing run, and the Debian package built, checked, installed and
# started.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

# Every program the build and the tests call, checked before anything is
# built: one missing would otherwise fail a test late and obscurely.
programs=(
  cmake ninja c++ clang++ pkg-config cpack ctest
  Xvfb xauth xdotool import compare convert identify xprop xwininfo openbox wmctrl xclip
  dbus-daemon dbus-run-session gdbus gio python3 sqlite3 iconv
  dpkg-deb fakeroot file readelf lintian desktop-file-validate appstreamcli update-mime-database
)
missing=()
for program in "${programs[@]}"; do
  command -v "$program" >/dev/null || missing+=("$program")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "missing programs: ${missing[*]}" >&2
  exit 1
fi

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== build and test"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs"

echo "== sanitizers"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPAGORA_SANITIZE=ON -DPAGORA_BENCH=OFF >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs" -LE window
# The real windows as well, with leak checking: a report at exit makes the
# reader's exit status fail the test.
UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build/asan --output-on-failure -j "$jobs" -L window

if [ -f fuzz/CMakeLists.txt ] && ls fuzz/*_fuzz.cpp >/dev/null 2>&1; then
  echo "== fuzzing"
  CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAGORA_FUZZ=ON \
    -DPAGORA_SANITIZE=ON -DPAGORA_TESTS=OFF -DPAGORA_BENCH=OFF >/dev/null
  cmake --build build/fuzz -j "$jobs" --target fuzzers
  for f in build/fuzz/fuzz/*_fuzz; do
    name=$(basename "$f")
    corpus="fuzz/corpus/${name%_fuzz}"
    mkdir -p "build/fuzz/corpus-$name"
    ASAN_OPTIONS=detect_leaks=0 "$f" -max_total_time=20 -rss_limit_mb=2048 \
      "build/fuzz/corpus-$name" $( [ -d "$corpus" ] && echo "$corpus" ) 2>&1 | tail -n 3
  done
fi
echo "== Debian package"
# The package is made from the build the tests just ran against: the
# project's default build type, optimised with the hardening flags, which is
# what the README's package build gives. That build without the tests must
# still configure.
cmake -S . -B build/package -G Ninja -DPAGORA_TESTS=OFF -DPAGORA_BENCH=OFF >/dev/null
grep -q '^CMAKE_BUILD_TYPE:STRING=RelWithDebInfo$' build/package/CMakeCache.txt ||
  { echo "the package's default build is not optimised" >&2; exit 1; }
rm -f build/test/pagora_*.deb
(cd build/test && cpack -G DEB >/dev/null)
deb=$(ls "$PWD"/build/test/pagora_*_amd64.deb)
# Errors and warnings fail, and so does any hardening tag (information
# level): the package is built fortified, with immediate binding.
lintian --fail-on error,warning --display-info "$deb" | tee build/test/lintian.txt
if grep -q 'hardening-' build/test/lintian.txt; then
  echo "lintian's hardening checks failed" >&2
  exit 1
fi
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "$deb" >/dev/null
bash tests/package/installed_reader.sh

echo "== all tests passed"
