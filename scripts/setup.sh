#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Idempotent: a second run only checks and returns.
set -euo pipefail

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

CACHE_DIR="${ZORVANE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zorvane}"
# Built without its source folder in the library (see build_libxml2); the name changed with that,
# so an older build is not taken for this one.
LIBXML2_PREFIX="$CACHE_DIR/libxml2-i686-w64-mingw32-nopaths"

PACKAGES=(
  cmake make g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine32:i386 wine64
  xvfb xauth x11-utils xdotool imagemagick
  fonts-wqy-microhei fonts-wine locales
  googletest xinetd rdate xz-utils python3
)

missing_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

enable_i386_and_sources() {
  local changed=0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    changed=1
  fi
  # Source packages come from the sources the machine already has: each binary source
  # also serves sources.
  local src=/etc/apt/sources.list.d/debian.sources
  if [ -f "$src" ] && grep -q '^Types: deb$' "$src"; then
    $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' "$src"
    changed=1
  elif [ ! -f "$src" ] && ! grep -rqs '^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    local lines
    lines=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | sed -n 's/^deb /deb-src /p')
    if [ -n "$lines" ]; then
      printf '%s\n' "$lines" | $SUDO tee /etc/apt/sources.list.d/zorvane-src.list >/dev/null
      changed=1
    fi
  fi
  echo "$changed"
}

install_packages() {
  local changed missing
  changed=$(enable_i386_and_sources)
  missing=$(missing_packages)
  if [ -n "$missing" ] || [ "$changed" = 1 ]; then
    $SUDO apt-get update -q
  fi
  if [ -n "$missing" ]; then
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
  fi
}

ensure_locale() {
  if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    $SUDO localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
  fi
}

build_libxml2() {
  [ -f "$LIBXML2_PREFIX/lib/libxml2.a" ] && return 0
  local work="$CACHE_DIR/libxml2-src"
  rm -rf "$work" && mkdir -p "$work"
  (cd "$work" && apt-get source --download-only libxml2 >/dev/null)
  local tarball
  tarball=$(ls "$work"/libxml2_*.orig.tar.xz | head -n 1)
  tar -C "$work" -xf "$tarball"
  local srcdir
  srcdir=$(find "$work" -maxdepth 1 -mindepth 1 -type d -name 'libxml2*' | head -n 1)
  cmake -S "$srcdir" -B "$work/build" \
    -DCMAKE_TOOLCHAIN_FILE="$(cd "$(dirname "$0")/.." && pwd)/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$LIBXML2_PREFIX" \
    -DCMAKE_C_FLAGS="-DLIBXML_STATIC -ffile-prefix-map=$srcdir/=libxml2/" \
    -DBUILD_SHARED_LIBS=OFF \
    -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ZLIB=OFF -DLIBXML2_WITH_LZMA=OFF \
    -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_TESTS=OFF -DLIBXML2_WITH_PROGRAMS=OFF \
    -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF >/dev/null
  cmake --build "$work/build" -j"$(nproc)" >/dev/null
  cmake --install "$work/build" >/dev/null
  rm -rf "$work"
}

install_packages
ensure_locale
build_libxml2
echo "$LIBXML2_PREFIX"
