#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang, AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs each one for a bounded time on a corpus seeded by its seed writer and by the inputs
# kept in tests/data/<name>/.
#
#   scripts/fuzz.sh [seconds per target [name...]]   default 60 seconds, every target
#
# Environment: QUAVIK_FUZZ_BUILD (build folder, default build-fuzz), QUAVIK_FUZZ_JOBS (default 2).
# A crash leaves its input in <build>/artifacts/<name>/ and makes the script fail; copy it into
# tests/data/<name>/ as <something>.bin so that the unit tests keep checking it.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUAVIK_FUZZ_BUILD:-$root/build-fuzz}"
seconds="${1:-60}"
shift || true
wanted=("$@")
jobs="${QUAVIK_FUZZ_JOBS:-2}"
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

cmake -S "$root" -B "$build" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DQUAVIK_FUZZ=ON -DQUAVIK_GUI=OFF -DQUAVIK_TESTS=OFF -DQUAVIK_BENCH=OFF >/dev/null

# Every target named <name>_fuzzer, and its <name>_seeds where there is one.
mapfile -t targets < <(cmake --build "$build" --target help | sed -n 's/^\.\.\. \(.*_fuzzer\)$/\1/p')
if [[ ${#targets[@]} -eq 0 ]]; then
  echo "fuzz.sh: no fuzz targets found" >&2
  exit 1
fi

status=0
for target in "${targets[@]}"; do
  name="${target%_fuzzer}"
  if [[ ${#wanted[@]} -gt 0 && ! " ${wanted[*]} " == *" $name "* ]]; then
    continue
  fi
  build_targets=("$target")
  if cmake --build "$build" --target help | grep -qx "\.\.\. ${name}_seeds"; then
    build_targets+=("${name}_seeds")
  fi
  cmake --build "$build" -j "$jobs" --target "${build_targets[@]}" >/dev/null

  corpus="$build/corpus/$name"
  artifacts="$build/artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  if [[ -x "$build/fuzz/${name}_seeds" ]]; then
    "$build/fuzz/${name}_seeds" "$corpus"
  fi
  if [[ -d "$root/tests/data/$name" ]]; then
    find "$root/tests/data/$name" -type f -name '*.bin' -exec cp {} "$corpus/" \;
  fi

  echo "fuzz.sh: $target for ${seconds}s"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -max_len=16384 -timeout=10 \
       -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" \
       >"$build/$target.log" 2>&1; then
    echo "fuzz.sh: $target failed; see $build/$target.log and $artifacts/" >&2
    tail -n 40 "$build/$target.log" >&2
    status=1
  else
    grep -E '^(stat::number_of_executed_units|stat::new_units_added)' "$build/$target.log" || true
  fi
done
exit "$status"
