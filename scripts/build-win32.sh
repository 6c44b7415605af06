#!/usr/bin/env bash
# Cross-builds the Windows program, build-win32/quavik.exe (32-bit, statically linked), and its
# unit tests with Debian's i686 MinGW-w64 toolchain.
#   scripts/build-win32.sh                  installs the toolchain if missing, builds build-win32/
#   scripts/build-win32.sh --no-install     builds only
# Further arguments go to the CMake configuration (scripts/test-win32.sh passes the emulator
# that runs the tests).
# QUAVIK_WIN32_BUILD_DIR and QUAVIK_MINGW_TRIPLET pick another build folder and target (the
# tests use build-win64/ with x86_64-w64-mingw32 where the machine runs no 32-bit code).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--no-install" ]; then
  shift
else
  scripts/install-deps.sh win32
fi
build_dir="${QUAVIK_WIN32_BUILD_DIR:-build-win32}"
triplet="${QUAVIK_MINGW_TRIPLET:-i686-w64-mingw32}"

cmake -S . -B "$build_dir" \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw32.cmake" \
  -DQUAVIK_MINGW_TRIPLET="$triplet" \
  -DCMAKE_BUILD_TYPE=Release \
  -DQUAVIK_BENCH=OFF -DQUAVIK_FUZZ=OFF -DQUAVIK_SANITIZE=OFF "$@"
cmake --build "$build_dir" -j2
