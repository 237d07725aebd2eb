#!/usr/bin/env bash
# The wizard's Apply on a 6000 x 4000 photograph (1,000 x 1,000 beads, 500
# colours), against loading the picture and then building from it.
#
#   bash bench/dialogs/run.sh            (BUILD=<folder> to build elsewhere)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build/release}
DATA=$BUILD/bench-data

if ! command -v cjpeg >/dev/null; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq libjpeg-turbo-progs >/dev/null
fi
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM_SANITIZE=OFF -DQM_BUILD_TESTS=OFF \
  -DQM_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD" --target bench_dialogs builder_make_photo qm_lang_packs -j2 >/dev/null
mkdir -p "$DATA"
PHOTO=$DATA/photo.jpg
if ! [ -s "$PHOTO" ]; then
  "$BUILD/bench/builder_make_photo" 6000 4000 1 | cjpeg -quality 90 -outfile "$PHOTO"
fi
echo "machine: $(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg)"
cd "$DATA"
BUILDER_PHOTO=$PHOTO QT_QPA_PLATFORM=offscreen "$BUILD/bench/bench_dialogs" --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true 2>/dev/null
