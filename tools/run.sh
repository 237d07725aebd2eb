#!/usr/bin/env bash
# Installs what is missing, builds the program into build/bin and starts it,
# optionally with a design file.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/setup.sh"
build="$top/build"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_BUILD_TESTS=OFF -DQM_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Quillmere is a desktop program and needs a graphical session (no DISPLAY or WAYLAND_DISPLAY is set)." >&2
  exit 1
fi
# The interface language is read from the registry value the setup writes; a
# start from the build tree stores what the setup would choose from the locale.
"$build/bin/qmreg" init-language
if [ ! -x "$build/bin/Velloran" ]; then
  echo "The build did not make build/bin/Velloran; see the build's messages above." >&2
  exit 1
fi
exec "$build/bin/Velloran" "$@"
