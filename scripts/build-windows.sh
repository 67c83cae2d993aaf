#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64: build-windows/kalvane.exe
# and listdrag.exe, plus the tests that run under Wine.
#   scripts/build-windows.sh            64-bit, into build-windows/
#   KALVANE_WINDOWS_ARCH=i686 scripts/build-windows.sh
#                                       32-bit, into build-windows-i686/
set -euo pipefail
cd "$(dirname "$0")/.."

arch=${KALVANE_WINDOWS_ARCH:-x86_64}
case "$arch" in
  x86_64) build=$PWD/build-windows ;;
  i686) build=$PWD/build-windows-i686 ;;
  *) echo "KALVANE_WINDOWS_ARCH must be x86_64 or i686, not '$arch'" >&2; exit 2 ;;
esac
toolchain=$PWD/cmake/mingw-w64-$arch.cmake
if ! command -v "$arch-w64-mingw32-g++-posix" >/dev/null; then
  echo "No $arch mingw-w64 C++ compiler: install g++-mingw-w64-${arch//_/-}" >&2
  exit 1
fi

# Debian ships GoogleTest as source only for the host; the tests run under
# Wine need it built by the cross compiler. It is built once per build
# folder, outside the project so that the project's warnings-as-errors do
# not apply to it, and found through its own package files.
gtest=$build/googletest
if [ ! -f "$gtest/install/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$gtest/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$gtest/install" >/dev/null
  cmake --build "$gtest/build"
  cmake --install "$gtest/build" >/dev/null
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release \
  -DGTest_DIR="$gtest/install/lib/cmake/GTest" >/dev/null
cmake --build "$build"
