# Sourced by the scripts: a virtual screen with a window manager, for machines without a display.
# start_virtual_display [WIDTHxHEIGHT] sets DISPLAY and registers cleanup on exit.

virtual_display_pids=()

stop_virtual_display() {
  local pid
  for pid in "${virtual_display_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${virtual_display_pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  virtual_display_pids=()
}

start_virtual_display() {
  local size="${1:-1920x1080}"
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  # -displayfd picks a free display number and writes it once the server is ready.
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -ac 3>"$fifo" 2>/dev/null &
  virtual_display_pids+=($!)
  local number
  read -r -t 30 number <"$fifo" || { echo "Xvfb did not start" >&2; rm -f "$fifo"; return 1; }
  rm -f "$fifo"
  export DISPLAY=":$number"
  trap stop_virtual_display EXIT
  openbox --sm-disable >/dev/null 2>&1 &
  virtual_display_pids+=($!)
  # The window manager is up once it has announced itself on the root window.
  local i
  for i in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
    sleep 0.1
  done
  echo "openbox did not start" >&2
  return 1
}
