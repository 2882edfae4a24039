# Sourced by the scripts: configures and builds the project into $BUILD_DIR. Some build steps run
# Windows tools through Wine, so the build uses the same private Wine prefix as the tests.
ROOT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT_DIR/build}

# One run at a time on a build folder: a second one would rebuild under the first and stop its
# Wine processes. The lock goes with this shell (fd 9); the Wine world's own servers close it.
claim_build_dir() {
  mkdir -p "$BUILD_DIR"
  exec 9>"$BUILD_DIR/.in-use"
  # A short wait lets the Wine server of a run that has just ended go away.
  if ! flock -w 10 9; then
    echo "build: $BUILD_DIR is in use by another run (scripts/test, run, bench or screenshot);" \
      "wait for it to end, or give this one another folder with BUILD_DIR=..." >&2
    exit 1
  fi
}

build_project() {
  claim_build_dir
  set_wine_vars "$BUILD_DIR"
  boot_wine_prefix
  cmake -S "$ROOT_DIR" -B "$BUILD_DIR" \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT_DIR/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} >/dev/null
  cmake --build "$BUILD_DIR" -j"${JOBS:-$(nproc)}" "$@"
}
