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

# The program alone (its help page comes with the configure step), not the tests: run.sh.
zorvane_build_program() {
  zorvane_configure
  cmake --build "$BUILD_DIR" -j"$(nproc)" --target Zorvane
}

# The project's Wine environment (scripts/wine.env) for this build folder.
zorvane_wine_env() {
  local key value
  while IFS='=' read -r key value; do
    if [[ "$key" =~ ^[A-Z] ]]; then
      export "$key=${value//@BUILD_DIR@/$BUILD_DIR}"
    fi
  done <"$ROOT/scripts/wine.env"
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
