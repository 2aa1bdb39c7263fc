# Sourced by run.sh and test.sh: set-up, configure and build in one place.
# shellcheck shell=bash
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${ZORVANE_BUILD_DIR:-$ROOT/build}"

# Installs what is missing (idempotent) and prints the libxml2 prefix.
zorvane_setup() {
  LIBXML2_PREFIX=$(bash "$ROOT/scripts/setup.sh" | tail -n 1)
}

# Arguments go to CMake's configure step (bench/run.sh: its own options).
zorvane_configure() {
  cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
    -DLIBXML2_PREFIX="$LIBXML2_PREFIX" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

zorvane_build() {
  zorvane_configure "$@"
  cmake --build "$BUILD_DIR" -j"$(nproc)"
}

# The project's own Wine prefix and home, so nothing outside the build tree is touched.
zorvane_wine_env() {
  export WINEPREFIX="$BUILD_DIR/wineprefix"
  export HOME="$BUILD_DIR/home"
  export LC_ALL=zh_CN.UTF-8
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe=d"
  mkdir -p "$HOME"
}

# Runs a command on the display there is, or on a virtual one when there is none.
zorvane_on_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$@"
  fi
}
