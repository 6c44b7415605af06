#!/usr/bin/env bash
# Start-up benchmark: process start until the complete window is first painted, and the peak
# memory (VmHWM) of all the program's processes at that moment, before any search. Runs the
# program and a bare wxWidgets frame of the same size alternately and prints the medians and
# the ratios.   Usage: bench/startup.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-15}
program="$build/quavik"
bare="$build/bench/bench_bare_frame"

# Resident peak of a process and all its descendants, in KiB.
tree_peak_kib() {
  local pid=$1 total=0 child
  total=$(sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$pid/status" 2>/dev/null || echo 0)
  for child in $(pgrep -P "$pid" || true); do
    total=$((total + $(tree_peak_kib "$child")))
  done
  echo "${total:-0}"
}

# One run: prints "<milliseconds to first paint> <peak KiB>".
measure() {
  local binary=$1 log started pid painted=""
  log=$(mktemp)
  started=$(date +%s%N)
  QUAVIK_TRACE_STARTUP=1 "$binary" 2>"$log" &
  pid=$!
  for _ in $(seq 1 600); do
    painted=$(sed -n 's/.*first paint at \([0-9]*\) ns.*/\1/p' "$log")
    [ -n "$painted" ] && break
    sleep 0.01
  done
  local peak
  peak=$(tree_peak_kib "$pid")
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -f "$log"
  [ -n "$painted" ] || { echo "no first paint from $binary" >&2; return 1; }
  echo "$(((painted - started) / 1000000)) $peak"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2))}'; }

program_times=() program_peaks=() bare_times=() bare_peaks=()
for i in $(seq 1 "$runs"); do
  read -r t m < <(measure "$bare");    bare_times+=("$t");    bare_peaks+=("$m")
  read -r t m < <(measure "$program"); program_times+=("$t"); program_peaks+=("$m")
done
pt=$(printf '%s\n' "${program_times[@]}" | median)
pm=$(printf '%s\n' "${program_peaks[@]}" | median)
bt=$(printf '%s\n' "${bare_times[@]}" | median)
bm=$(printf '%s\n' "${bare_peaks[@]}" | median)
printf '%-12s %12s %14s\n' "" "first paint" "peak memory"
printf '%-12s %9d ms %10.1f MiB\n' "quavik" "$pt" "$(echo "$pm/1024" | bc -l)"
printf '%-12s %9d ms %10.1f MiB\n' "bare frame" "$bt" "$(echo "$bm/1024" | bc -l)"
printf '%-12s %11.2fx %13.2fx   (targets: 1.5x, 1.3x; medians of %d runs)\n' "ratio" \
  "$(echo "$pt/$bt" | bc -l)" "$(echo "$pm/$bm" | bc -l)" "$runs"
