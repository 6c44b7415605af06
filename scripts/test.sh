#!/usr/bin/env bash
# Builds the project and runs every test, GUI tests included, on a virtual screen of its own.
# Installs missing Debian packages first.
#   scripts/test.sh              release build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  build_dir=build-asan
  cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DQUAVIK_SANITIZE=ON -DQUAVIK_BENCH=OFF)
  export ASAN_OPTIONS="allocator_may_return_null=1:detect_odr_violation=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

scripts/install-deps.sh build test
cmake -S . -B "$build_dir" "${cmake_args[@]}"
cmake --build "$build_dir" -j2

# The GUI tests expect a 1920 × 1080 screen with a window manager that draws frames.
source scripts/lib/display.sh
start_virtual_display 1920x1080
export WEBKIT_DISABLE_COMPOSITING_MODE=1
ctest --test-dir "$build_dir" --output-on-failure -j2
