#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless.
# The test build uses AddressSanitizer and UndefinedBehaviorSanitizer
# (QM_SANITIZE=OFF turns them off).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/setup.sh"
build="$top/build/test"
# -O1 with line tables: quick to compile on a small machine, and sanitizer
# reports still name files and lines.
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
  -DQM_SANITIZE="${QM_SANITIZE:-ON}" >/dev/null
cmake --build "$build" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
