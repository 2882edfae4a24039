# Sourced by the scripts: configures and builds the project into $BUILD_DIR. Some build steps run
# Windows tools through Wine, so the build uses the same private Wine prefix as the tests.
ROOT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT_DIR/build}

build_project() {
  set_wine_vars "$BUILD_DIR"
  boot_wine_prefix
  cmake -S "$ROOT_DIR" -B "$BUILD_DIR" \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT_DIR/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} >/dev/null
  cmake --build "$BUILD_DIR" -j"${JOBS:-$(nproc)}" "$@"
}
