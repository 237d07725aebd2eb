#!/usr/bin/env bash
# The design builder against the tools people use today, on one photograph:
#   (a) our whole build, JPEG decoding included: a 1,000 x 1,000-bead design
#       in a 500-colour palette, colour modes Exact and Sharp;
#   (b) ImageMagick doing the same job:
#       convert photo.jpg -resize 1000x1000! -dither None -remap palette.png out.png
#   (c) djpeg decoding the photograph alone.
# Every figure is the median wall time of whole fresh processes; the Google
# Benchmark figures of repeated builds inside one process follow.
#
#   bash bench/builder/run.sh            (BUILD=<folder> to build elsewhere,
#                                         RUNS=<n> for the number of runs)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build/builder-bench}
RUNS=${RUNS:-7}
DATA=$BUILD/bench-data
CONVERT=/usr/bin/convert

# The tools compared with, for this benchmark only.
if ! [ -x "$CONVERT" ] || ! command -v djpeg >/dev/null || ! command -v cjpeg >/dev/null ||
   ! dpkg -s imagemagick >/dev/null 2>&1; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq imagemagick libjpeg-turbo-progs >/dev/null
fi

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM_SANITIZE=OFF -DQM_BUILD_TESTS=OFF \
  -DQM_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD" --target bench_builder builder_make_photo -j4 >/dev/null
BENCH=$BUILD/bench/bench_builder

mkdir -p "$DATA"
PHOTO=$DATA/photo.jpg
# No Debian package ships a 6000 x 4000 photograph; the picture is made with
# the detail of one (gradients, texture at several scales, hard edges, sensor
# noise) and saved as a camera would, JPEG quality 90.
if ! [ -s "$PHOTO" ]; then
  "$BUILD/bench/builder_make_photo" 6000 4000 1 | cjpeg -quality 90 -outfile "$PHOTO"
fi
"$BENCH" --write-palette "$DATA/palette.png"

# Median wall time, in seconds, of RUNS runs of a command.
median() {
  local times=() start end
  for ((i = 0; i < RUNS; i++)); do
    start=$EPOCHREALTIME
    "$@" >/dev/null
    end=$EPOCHREALTIME
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')")
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

cd "$DATA"
exact=$(median "$BENCH" --build-once "$PHOTO" exact)
sharp=$(median "$BENCH" --build-once "$PHOTO" sharp)
djpeg_t=$(median djpeg -outfile /dev/null "$PHOTO")
RUNS=$(( RUNS < 3 ? RUNS : 3 )) # ImageMagick takes seconds a run
magick=$(median "$CONVERT" "$PHOTO" -resize '1000x1000!' -dither None -remap "$DATA/palette.png" "$DATA/out.png")

echo "photo: $PHOTO ($(stat -c %s "$PHOTO") bytes), palette: 500 colours, design: 1,000 x 1,000 beads"
echo "machine: $(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg)"
awk -v e="$exact" -v s="$sharp" -v m="$magick" -v d="$djpeg_t" 'BEGIN {
  printf "our build, Exact      %7.3f s   ImageMagick / ours %5.1f x   ours / djpeg %4.2f x\n", e, m / e, e / d
  printf "our build, Sharp      %7.3f s   ImageMagick / ours %5.1f x   ours / djpeg %4.2f x\n", s, m / s, s / d
  printf "ImageMagick convert   %7.3f s\n", m
  printf "djpeg (decode alone)  %7.3f s\n", d
}'
echo
BUILDER_PHOTO=$PHOTO "$BENCH" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>/dev/null
