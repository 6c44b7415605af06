#!/usr/bin/env bash
# The program's main job: starts the local number-search and update service, then the window,
# pointed at it. Without a display it runs everything on a virtual screen, makes a search for
# province 10, city 101, pattern AAAA, and writes a screenshot of the window to screenshot.png.
# Installs missing Debian packages and builds first.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

headless=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  headless=1
fi
scripts/install-deps.sh build
[ $headless -eq 1 ] && scripts/install-deps.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target quavik quavik-service

pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  [ $headless -eq 1 ] && stop_virtual_display
  return 0
}
trap cleanup EXIT

# The service picks a free port and says which on its first line.
service_log=$(mktemp)
build/quavik-service --port 0 >"$service_log" 2>&1 &
pids+=($!)
port=""
for _ in $(seq 1 100); do
  port=$(sed -n 's|^listening on http://127.0.0.1:\([0-9]*\).*|\1|p' "$service_log" | head -n 1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "the service did not start:" >&2; cat "$service_log" >&2; exit 1; }
echo "service: http://127.0.0.1:$port"
export QUAVIK_SEARCH_HOST="127.0.0.1:$port"
export QUAVIK_UPDATE_HOST="127.0.0.1:$port"

if [ $headless -eq 0 ]; then
  build/quavik
  exit $?
fi

source scripts/lib/display.sh
start_virtual_display 1920x1080
export WEBKIT_DISABLE_COMPOSITING_MODE=1
build/quavik &
app=$!
pids+=($app)
window=$(xdotool search --sync --onlyvisible --class quavik | head -n 1)
source scripts/lib/search_demo.sh
search_through_window "$window" 10 101 AAAA "$service_log" "$root/screenshot.png" ||
  echo "no page appeared in the window; the screenshot shows what there was" >&2
echo "screenshot: $root/screenshot.png"
xdotool windowactivate --sync "$window"
xdotool key Escape
wait $app
echo "quavik exited with code $?"
