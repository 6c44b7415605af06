#!/usr/bin/env bash
# The Windows build, tested: installs the win32 package group, cross-builds build-win32/
# (quavik.exe and the unit tests, 32-bit), makes a fresh Wine prefix and runs under Wine with a
# Chinese locale (zh_CN.UTF-8, so Wine's ANSI code page is 936):
#   1. every unit test binary (ctest, with Wine as the emulator);
#   2. quavik.exe read by an independent PE reader (python3-pefile): the version resource holds
#      the bytes generated from assets/version.json, the manifest, the icon, system DLLs only;
#   3. the window smoke test on a virtual screen (tests/win32/window_smoke.sh).
# Where the kernel runs no 32-bit programs (its 32-bit emulation is off), 32-bit Wine cannot
# start. The same sources are then also built for x86-64 (build-win64/), and steps 1 and 3 run
# that build under 64-bit Wine; step 2 still reads the 32-bit quavik.exe.
# Every Wine process is ended at the end (wineserver -k) and the prefix removed.
set -euo pipefail
cd "$(dirname "$0")/.."

phase_start=$SECONDS
timing() {  # timing NAME: prints the seconds since the previous call
  echo "== $1: $((SECONDS - phase_start)) s"
  phase_start=$SECONDS
}
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

scripts/install-deps.sh win32
timing "packages"

# The Chinese locale, for Wine's code page 936.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  as_root localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi

# Can this machine run 32-bit programs at all?
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  arch=win32
  wine=/usr/lib/wine/wine
  test_build=build-win32
  machine=i386
else
  arch=win64
  wine=/usr/lib/wine/wine64
  export WINELOADER="$wine"
  test_build=build-win64
  machine=amd64
  echo "test-win32: this kernel runs no 32-bit programs; testing an x86-64 build of the same" \
    "sources under 64-bit Wine (the 32-bit quavik.exe is built and read, not run)" >&2
fi

scripts/build-win32.sh --no-install -DCMAKE_CROSSCOMPILING_EMULATOR="$wine"
timing "cross build (build-win32)"
if [ "$test_build" = build-win64 ]; then
  QUAVIK_WIN32_BUILD_DIR=build-win64 QUAVIK_MINGW_TRIPLET=x86_64-w64-mingw32 \
    scripts/build-win32.sh --no-install -DCMAKE_CROSSCOMPILING_EMULATOR="$wine"
  timing "cross build (build-win64)"
fi

# A fresh prefix, without the prompts for Mono and Gecko (there is no HTML engine here).
prefix_root="$(mktemp -d)"
export WINEPREFIX="$prefix_root/prefix"
export WINEARCH="$arch"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
finish() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix_root"
}
trap finish EXIT
"$wine" wineboot.exe --init >/dev/null 2>&1
wineserver -w
timing "Wine prefix ($arch)"

failed=()
ctest --test-dir "$test_build" --output-on-failure -j2 || failed+=("unit tests")
timing "unit tests under Wine"

/usr/bin/python3 tests/win32/check_executable.py build-win32/quavik.exe assets/version.json \
  build-win32/src/platform/win32/quavik_version_resource.cpp --machine i386 ||
  failed+=("executable")
if [ "$test_build" = build-win64 ]; then
  /usr/bin/python3 tests/win32/check_executable.py build-win64/quavik.exe assets/version.json \
    build-win64/src/platform/win32/quavik_version_resource.cpp --machine "$machine" ||
    failed+=("executable (x86-64)")
fi
timing "executable read by pefile"

source scripts/lib/display.sh
start_virtual_display 1920x1080
trap 'finish; stop_virtual_display' EXIT
mkdir -p "$test_build/test-output"
WINE="$wine" bash tests/win32/window_smoke.sh "$test_build/quavik.exe" \
  "$test_build/test-output/window.png" || failed+=("window smoke test")
timing "window smoke test"

wineserver -k >/dev/null 2>&1 || true
if [ ${#failed[@]} -gt 0 ]; then
  echo "test-win32: failed: ${failed[*]}" >&2
  exit 1
fi
echo "test-win32: all passed"
