#!/usr/bin/env bash
# The built program seen from outside, under a window manager: the outer rectangle of its frame,
# the badge as painted on the screen, and Esc ending the program with exit code 0.
# Usage: window_e2e.sh path/to/quavik      (DISPLAY: a 1920 × 1080 screen with openbox)
set -euo pipefail
program=$1
work=$(mktemp -d)
app=""
cleanup() {
  local status=$?
  if [ -n "$app" ]; then
    kill "$app" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
  fi
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# X, Y: the client area's absolute origin; WIDTH, HEIGHT: its size.
client_geometry() {
  local info
  info=$(xwininfo -id "$1")
  X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  WIDTH=$(sed -n 's/.*Width: *//p' <<<"$info")
  HEIGHT=$(sed -n 's/.*Height: *//p' <<<"$info")
}

"$program" &
app=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --class quavik | head -n 1)
[ -n "$window" ] || fail "no window appeared"

# The frame's outer rectangle: the client area grown by the extents the window manager reports.
extents=""
for _ in $(seq 1 100); do
  extents=$(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
  [ -n "$extents" ] && break
  sleep 0.05
done
[ -n "$extents" ] || fail "the window manager reported no frame extents"
IFS=, read -r left right top bottom <<<"$extents"
# Wait for the geometry to settle: the toolkit may still be fitting the frame to the extents.
outer=""
for _ in $(seq 1 100); do
  client_geometry "$window"
  outer="$((X - left)),$((Y - top)) $((WIDTH + left + right))x$((HEIGHT + top + bottom))"
  [ "$outer" = "429,185 1061x710" ] && break
  sleep 0.05
done
echo "outer rectangle: $outer (frame extents $extents)"
[ "$outer" = "429,185 1061x710" ] || fail "outer rectangle is $outer, expected 429,185 1061x710"

# The badge of 标签5 (label at 216,80 in the client area) is drawn 56 × 56 at (4, 0) inside it,
# on the button-face colour, with no see-through corners.
pixel() {  # x y in client coordinates -> "r,g,b"
  convert "$work/shot.png" -format "%[fx:int(255*p{$((X + $1)),$((Y + $2))}.r)],%[fx:int(255*p{$((X + $1)),$((Y + $2))}.g)],%[fx:int(255*p{$((X + $1)),$((Y + $2))}.b)]" info:
}
import -window root "$work/shot.png"
face=$(pixel 10 100)            # the window's own background, outside every unit
echo "button face: $face"
for corner in "220 80" "275 80" "220 135" "275 135" "216 108" "219 108" "276 108" "279 108"; do
  got=$(pixel $corner)
  [ "$got" = "$face" ] || fail "badge label at ($corner) shows $got, expected the button face $face"
done
disc=$(pixel 248 108)
centre_row=$(pixel 224 108)
echo "badge: centre $disc, left edge of the disc $centre_row"
[ "$centre_row" = "173,55,140" ] || fail "the disc's left edge at (224,108) is $centre_row, expected 173,55,140"

# Esc ends the program with exit code 0.
xdotool windowactivate --sync "$window"
xdotool key Escape
status=0
wait "$app" || status=$?
app=""
[ "$status" -eq 0 ] || fail "exit code $status after Esc"
echo "PASS"
