#!/usr/bin/env bash
# The main job end to end: the local service and the program pointed at it; a user types
# 10 / 101 / aaaa and clicks 开始选号; the service gets exactly one search with the capitalised
# pattern, the page shows in the window, and Esc ends the program with exit code 0.
# Usage: search_e2e.sh path/to/quavik path/to/quavik-service   (DISPLAY: screen with openbox)
set -euo pipefail
program=$1
service=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  local status=$? pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$service" --port 0 >"$work/service.log" 2>&1 &
pids+=($!)
port=""
for _ in $(seq 1 100); do
  port=$(sed -n 's|^listening on http://127.0.0.1:\([0-9]*\).*|\1|p' "$work/service.log")
  [ -n "$port" ] && break
  sleep 0.05
done
[ -n "$port" ] || fail "the service did not start"

QUAVIK_SEARCH_HOST="127.0.0.1:$port" "$program" &
app=$!
pids+=($app)
window=$(timeout 30 xdotool search --sync --onlyvisible --class quavik | head -n 1)
[ -n "$window" ] || fail "no window appeared"

source "$here/../../scripts/lib/search_demo.sh"
search_through_window "$window" 10 101 aaaa "$work/service.log" "$work/shot.png" ||
  fail "the result page did not appear in the window"
searches=$(grep -c "^GET /num.php" "$work/service.log" || true)
grep -q "^GET /num.php?shengfenid=10&shiquid=101&lh=AAAA 200$" "$work/service.log" ||
  fail "the service was not asked for 10/101/AAAA: $(grep num.php "$work/service.log")"
[ "$searches" -eq 1 ] || fail "$searches searches reached the service, expected 1"

xdotool windowactivate --sync "$window"
xdotool key Escape
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || fail "exit code $status after Esc"
echo "PASS"
