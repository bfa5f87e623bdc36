#!/usr/bin/env bash
# run-fuzzers.sh BUILD_DIR SECONDS: runs every fuzz_* program of the fuzz build
# side by side on its seed corpus for SECONDS each; fails if any finds a fault.
set -uo pipefail
build=$1; seconds=$2
top=$(cd "$(dirname "$0")/.." && pwd)
pids=(); names=()
for exe in "$build"/fuzz/fuzz_*; do
  [[ -x $exe ]] || continue
  name=$(basename "$exe")
  corpus=$build/fuzz/corpus-$name
  mkdir -p "$corpus"
  seeds=$top/fuzz/seeds/${name#fuzz_}
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
         "$corpus" ${seeds:+$([[ -d $seeds ]] && echo "$seeds")} >"$build/$name.log" 2>&1 &
  pids+=($!); names+=("$name")
done
failed=0
for i in "${!pids[@]}"; do
  if wait "${pids[$i]}"; then
    echo "fuzz: ${names[$i]} ran ${seconds}s without a fault"
  else
    echo "fuzz: ${names[$i]} FAILED"; tail -n 60 "$build/${names[$i]}.log"; failed=1
  fi
done
exit $failed
