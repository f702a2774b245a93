#!/usr/bin/env bash
# Installs whatever the build, the reader and the tests need and is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build clang
  qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev libxcb-cursor0 libicu-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-arphic-uming fonts-noto-cjk
  xvfb xauth xdotool imagemagick x11-utils python3 openbox wmctrl dbus-daemon xclip
  at-spi2-core python3-pyatspi
  desktop-file-utils appstream shared-mime-info libglib2.0-bin
  dpkg-dev fakeroot file lintian binutils
  pkg-config libicu-dev libuchardet-dev libopencc-dev libopencc-data libzip-dev libxml2-dev
  opencc rime-data-luna-pinyin
  unicode-data libbz2-dev
  libsqlite3-dev sqlite3
  libseccomp-dev
  qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin speech-dispatcher speech-dispatcher-espeak-ng espeak-ng
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
