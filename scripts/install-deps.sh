#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build, run and test Chronoseq.
# Idempotent: packages already present are left alone.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev libicu-dev
  mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb openbox xdotool x11-utils
  # Photos and videos for the capture time tests: ImageMagick makes them
  # (its HEIC and WebP writers come with it), exiftool writes their times and
  # is the oracle that reads them back.
  imagemagick libimage-exiftool-perl
  # X extensions Wine's display driver loads at run time (only recommended
  # by the wine packages): rendering, screens, input, cursors, windows.
  libxrender1 libxrandr2 libxinerama1 libxi6 libxcursor1 libxcomposite1 libxfixes3 libxxf86vm1
  locales tzdata fontconfig fonts-noto-cjk fonts-ipafont-gothic
  # The release zip (scripts/package.sh) and its tests.
  zip unzip
  # clang and its libFuzzer runtime for the settings reader's fuzz target.
  clang libclang-rt-dev
  # Metric-compatible with the Japanese UI face the windows are designed in.
  fonts-monapo
  # A FAT file system in an image file, mounted through FUSE and read back
  # straight from the image, for the end-to-end test of copying in order.
  dosfstools fusefat mtools
  # An exFAT file system, which takes Japanese names as fusefat does not, in an
  # image file on a loop device, made and mounted through FUSE for the same
  # test; its order is read from the image by a Python script.
  exfatprogs exfat-fuse python3
  # setfattr, which gives a folder the hidden and system attributes the way
  # Wine keeps them (user.DOSATTRIB), for a card's System Volume Information.
  attr
)

# One query for all: the packaging script runs this on every call.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
  awk '/ install ok installed$/ { print $1 }' || true)
missing=()
for p in "${packages[@]}"; do
  grep -qxF "$p" <<<"$installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine and the tests run under a Japanese locale so code page 932 and the
# regional separators match a Japanese Windows.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
