#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer and the sanitizers in
# build/fuzz and runs them, several at a time, each for a chosen time.
#
#   fuzz/run-fuzzers.sh [-t seconds] [-j parallel] [target ...]
#
# Without targets every fuzz_* target of the tree runs. A target
# fuzz_<area>_<name> starts from its committed seeds, fuzz/<area>/corpus/<name>
# (or fuzz/<area>/corpus), and keeps what it finds in build/fuzz/corpus/<target>;
# crashes, leaks, timeouts and out-of-memory inputs land in
# build/fuzz/artifacts/<target>, the output in build/fuzz/logs/<target>.log.
# The summary lists executions and findings per target; the exit status is 1
# when anything was found.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
seconds=600
parallel=4
while getopts "t:j:h" opt; do
  case $opt in
    t) seconds=$OPTARG ;;
    j) parallel=$OPTARG ;;
    *) sed -n '2,16p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))

if ! command -v clang++ > /dev/null; then
  echo "clang++ is needed for the fuzz targets (apt-get install clang libclang-rt-dev)" >&2
  exit 2
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DQM_FUZZ=ON -DQM_SANITIZE=ON \
  -DQM_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$build.configure.log" 2>&1 ||
  { cat "$build.configure.log" >&2; exit 2; }

if [ $# -gt 0 ]; then
  targets=("$@")
else
  mapfile -t targets < <(ninja -C "$build" -t targets all | sed -n 's/^\(fuzz_[A-Za-z0-9_]*\): .*/\1/p' | grep -v '_corpus$' | sort -u)
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets" >&2
  exit 2
fi
cmake --build "$build" --target "${targets[@]}" -j "$parallel"

mkdir -p "$build/logs" "$build/corpus" "$build/artifacts"
run_one() {
  local t=$1 area rest seeds="" candidate
  area=$(echo "$t" | sed -n 's/^fuzz_\([^_]*\)_.*/\1/p')
  rest=${t#fuzz_${area}_}
  for candidate in "$root/fuzz/$area/corpus/$rest" "$root/fuzz/$area/corpus" "$root/fuzz/${t#fuzz_}/corpus"; do
    if [ -d "$candidate" ]; then
      seeds=$candidate
      break
    fi
  done
  mkdir -p "$build/corpus/$t" "$build/artifacts/$t"
  LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
    "$build/fuzz/$t" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=25 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$t/" "$build/corpus/$t" ${seeds:+"$seeds"} > "$build/logs/$t.log" 2>&1 || true
}

echo "running ${#targets[@]} target(s) for ${seconds}s each, $parallel at a time"
running=0
for t in "${targets[@]}"; do
  run_one "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$parallel" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

found=0
printf '%-24s %14s %10s %9s\n' target executions corpus findings
for t in "${targets[@]}"; do
  log="$build/logs/$t.log"
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  units=$(find "$build/corpus/$t" -type f | wc -l)
  findings=$(find "$build/artifacts/$t" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' -o -name 'slow-unit-*' \) | wc -l)
  [ "$findings" -gt 0 ] && found=1
  printf '%-24s %14s %10s %9s\n' "$t" "${execs:-?}" "$units" "$findings"
done
exit $found
