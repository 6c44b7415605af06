#!/usr/bin/env bash
# Installs the Debian packages the project needs, skipping those already present.
# Usage: scripts/install-deps.sh [build|test|fuzz|win32]...   (default: build test)
set -euo pipefail

build_packages=(
  build-essential cmake pkg-config
  libwxgtk3.2-dev libwxgtk-webview3.2-dev
  libcurl4-openssl-dev libpng-dev zlib1g-dev
  libcpp-httplib-dev
  fonts-noto-cjk
)
test_packages=(
  libgtest-dev
  xvfb xauth openbox x11-utils xdotool imagemagick
  curl
)
fuzz_packages=(clang libclang-rt-14-dev)
# The Windows build: the i686 MinGW-w64 cross toolchain, GoogleTest's sources (built with it),
# 32-bit Wine to run the results on a virtual screen, the zh_CN locale (code page 936 in Wine),
# and an independent reader of the executable's version resource. Where the kernel runs no
# 32-bit code, scripts/test-win32.sh tests a second, x86-64 build of the same sources under
# 64-bit Wine: hence the x86-64 toolchain and wine64.
win32_packages=(
  cmake make
  gcc-mingw-w64-i686 g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  gcc-mingw-w64-x86-64 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  googletest
  wine wine32:i386 wine64
  xvfb xauth openbox x11-utils x11-apps xdotool
  locales python3-pefile
)

wanted=()
groups=("$@")
[ ${#groups[@]} -eq 0 ] && groups=(build test)
for group in "${groups[@]}"; do
  case "$group" in
    build) wanted+=("${build_packages[@]}") ;;
    test) wanted+=("${test_packages[@]}") ;;
    fuzz) wanted+=("${fuzz_packages[@]}") ;;
    win32)
      wanted+=("${win32_packages[@]}")
      # wine32 comes from the i386 architecture; an added architecture needs fresh lists.
      # (apt-get update below runs, since wine32:i386 is then missing).
      if ! dpkg --print-foreign-architectures | grep -qx i386; then
        if [ "$(id -u)" -eq 0 ]; then dpkg --add-architecture i386; else sudo dpkg --add-architecture i386; fi
      fi
      ;;
    *) echo "install-deps: unknown group '$group'" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
# The desktop libraries come with their recommended companions (the web engine's runtime
# pieces among them); the Windows toolchain and Wine without theirs, which are many and unused.
recommends=()
for group in "${groups[@]}"; do
  [ "$group" = win32 ] && recommends=(--no-install-recommends)
done
"${sudo_cmd[@]}" apt-get install -y -qq "${recommends[@]}" "${missing[@]}"
