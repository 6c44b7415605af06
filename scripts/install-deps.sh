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

wanted=()
groups=("$@")
[ ${#groups[@]} -eq 0 ] && groups=(build test)
for group in "${groups[@]}"; do
  case "$group" in
    build) wanted+=("${build_packages[@]}") ;;
    test) wanted+=("${test_packages[@]}") ;;
    fuzz) wanted+=("${fuzz_packages[@]}") ;;
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
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
