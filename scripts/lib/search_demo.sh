# Sourced by scripts/run.sh and the end-to-end search test: drives the program's window from
# outside, as a user would, on the display in $DISPLAY.

# search_through_window WINDOW PROVINCE CITY PATTERN SERVICE_LOG SCREENSHOT
# Types the three values, clicks 开始选号, waits until the service has been asked for the page
# and the web view shows something other than blank white, then writes a screenshot of the
# screen. Returns 1 when no page appeared within 30 seconds.
search_through_window() {
  local window=$1 province=$2 city=$3 pattern=$4 service_log=$5 screenshot=$6
  local client_x client_y
  client_x=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left X: *//p')
  client_y=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left Y: *//p')
  click_unit() {  # left top width height, in client coordinates
    xdotool mousemove $((client_x + $1 + $3 / 2)) $((client_y + $2 + $4 / 2)) click 1
  }
  xdotool windowactivate --sync "$window"
  click_unit 120 56 80 32 && xdotool type --delay 20 "$province"   # 编辑框2
  click_unit 120 104 80 32 && xdotool type --delay 20 "$city"      # 编辑框3
  click_unit 120 160 80 32 && xdotool type --delay 20 "$pattern"   # 编辑框4
  click_unit 88 216 104 32                                         # 按钮1: 开始选号

  local shot colour shown=1
  shot=$(mktemp --suffix=.png)
  for _ in $(seq 1 150); do
    if grep -q "num.php" "$service_log"; then
      import -window root "$shot"
      colour=$(convert "$shot" -crop "400x300+$((client_x + 640))+$((client_y + 200))" +repage \
        -format '%[fx:mean<0.99?1:0]' info:)
      if [ "$colour" = 1 ]; then
        shown=0
        break
      fi
    fi
    sleep 0.2
  done
  rm -f "$shot"
  import -window root "$screenshot"
  return $shown
}
