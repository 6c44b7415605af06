#!/usr/bin/env bash
# The Windows program under Wine on an X display, looked at from outside:
#   - `quavik.exe --version` prints its own version resource, in GBK;
#   - the window appears centred, with its title and its units drawn where they belong;
#   - the focus starts in the HTML view, Tab moves it to the start button, Space presses the
#     button (a message box for the empty boxes), Enter closes the box, the focus comes back,
#     Shift+Esc does nothing;
#   - a search with typed values keeps the window answering (the browser starts, with or without
#     an HTML engine);
#   - Esc closes it and the program ends with exit code 0.
# Usage: window_smoke.sh QUAVIK_EXE [SCREENSHOT.png]
# Needs DISPLAY (a 1920x1080 screen with a window manager), WINEPREFIX, and WINE, the Wine
# loader to use (default: wine). Waits for conditions, never for fixed times; every process it
# starts is ended before it returns.
set -euo pipefail

exe="$1"
screenshot="${2:-}"
wine="${WINE:-wine}"
here="$(cd "$(dirname "$0")" && pwd)"
title="Quavik靓号扫描软件KM1.0           Velmora论坛   全网首发"
banner="Quavik靓号选号KM1.0 1.0.0.0"
work="$(mktemp -d)"
program_pid=""

cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
check() {  # check NAME CONDITION-COMMAND...
  local name="$1"
  shift
  if "$@"; then
    echo "ok   $name"
  else
    echo "FAIL $name"
    failures=$((failures + 1))
  fi
}

# Polls CONDITION every 0.2 s until it holds or SECONDS pass.
wait_for() {  # wait_for SECONDS CONDITION-COMMAND...
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}

# --- the version, read by the program from its own file ---------------------------------------
version_out="$work/version.txt"
timeout 120 "$wine" "$exe" --version >"$version_out" 2>"$work/version.err" || true
version_text="$(tr -d '\r' <"$version_out" | iconv -f GBK -t UTF-8 2>/dev/null || true)"
check "--version prints \"$banner\" in GBK (got \"$version_text\")" \
  test "$version_text" = "$banner"

# --- the window -------------------------------------------------------------------------------
"$wine" "$exe" >"$work/program.out" 2>"$work/program.err" &
program_pid=$!

find_window() {
  window_id="$(xdotool search --onlyvisible --name "^$(printf '%s' "$title" | sed 's/[.]/\\./g')\$" 2>/dev/null | head -n 1)"
  [ -n "$window_id" ]
}
window_id=""
if ! wait_for 120 find_window; then
  echo "FAIL the window \"$title\" did not appear"
  sed -n '1,40p' "$work/program.err" >&2
  exit 1
fi
echo "ok   the window \"$title\" appeared"

# Its client area: where the system's frame leaves it; the outer size is 1061 x 710 and centred
# on the 1920 x 1080 screen at (429, 185).
geometry="$(xwininfo -id "$window_id")"
value() { sed -n "s/^ *$1: *//p" <<<"$geometry" | head -n 1; }
width="$(value Width)"
height="$(value Height)"
left="$(value 'Absolute upper-left X')"
top="$(value 'Absolute upper-left Y')"
check "client area fits the 1061 x 710 outer size (${width} x ${height})" \
  test "$width" -le 1061 -a "$height" -le 710 -a "$width" -ge 1000 -a "$height" -ge 640
check "window centred on the screen (client at ${left}, ${top})" \
  test "$left" -ge 429 -a "$left" -le 440 -a "$top" -ge 185 -a "$top" -le 230

# The units, drawn: wait until the window shows its picture label, then check the places.
shot="$work/window.xwd"
drawn() {
  xwd -id "$window_id" -silent >"$shot" 2>/dev/null &&
    python3 "$here/window_probe.py" "$shot" >"$work/probe.txt" 2>&1
}
wait_for 30 drawn || true
if [ -n "$screenshot" ]; then
  python3 "$here/window_probe.py" "$shot" --png "$screenshot" >/dev/null 2>&1 || true
fi
cat "$work/probe.txt"
check "the units are drawn" grep -q . "$work/probe.txt"
if grep -q '^FAIL' "$work/probe.txt"; then
  failures=$((failures + 1))
fi

# --- keys and clicks --------------------------------------------------------------------------
# The focus starts in the HTML view; Tab takes it to 按钮1 "开始选号", and Space presses that
# button: with the boxes empty, the program says so in a message box "提示：".
box_title="提示："
box_id=""
find_box() {
  box_id="$(xdotool search --onlyvisible --name "^${box_title}\$" 2>/dev/null | head -n 1)"
  [ -n "$box_id" ]
}
box_gone() { ! find_box; }
xdotool windowactivate --sync "$window_id" >/dev/null 2>&1 || true
xdotool key --clearmodifiers Tab space
check "Tab from the HTML view reaches 开始选号, Space presses it: a box \"$box_title\"" \
  wait_for 30 find_box
xdotool key --clearmodifiers Return
check "Enter closes the box" wait_for 30 box_gone

# Shift+Esc does nothing; the focus came back to 按钮1 with the window, so Space opens the box
# again (which also shows the window survived Shift+Esc).
xdotool windowactivate --sync "$window_id" >/dev/null 2>&1 || true
xdotool key --clearmodifiers shift+Escape space
check "Shift+Esc keeps the window; the focus is back on 开始选号" wait_for 30 find_box
xdotool key --clearmodifiers Return
wait_for 30 box_gone || true

# A search: the three boxes filled in by hand, then 开始选号. The HTML view starts its browser
# (here without an HTML engine: the view may stay blank), and the window must go on answering.
xdotool windowactivate --sync "$window_id" >/dev/null 2>&1 || true
type_into() {  # type_into CLIENT-X CLIENT-Y TEXT
  xdotool mousemove --sync $((left + $1)) $((top + $2)) click 1
  xdotool type --delay 20 "$3"
}
type_into 160 72 10
type_into 160 120 101
type_into 160 176 AAAA
xdotool mousemove --sync $((left + 140)) $((top + 232)) click 1
check "after a search, no box (the three values were accepted)" box_gone
# (A window that stopped answering, or a box that came late, would keep Esc below from ending
# the program.)

# --- Esc closes the window; the program ends with 0 ------------------------------------------
xdotool windowactivate --sync "$window_id" >/dev/null 2>&1 || true
xdotool key --clearmodifiers Escape
exited() { ! kill -0 "$program_pid" 2>/dev/null; }
if wait_for 60 exited; then
  status=0
  wait "$program_pid" || status=$?
  program_pid=""
  check "Esc ends the program with exit code 0 (got $status)" test "$status" -eq 0
else
  echo "FAIL the program did not end after Esc"
  failures=$((failures + 1))
fi

echo "smoke: $((failures == 0 ? 1 : 0)) passed, $((failures == 0 ? 0 : 1)) failed"
exit $((failures == 0 ? 0 : 1))
