#!/usr/bin/env bash
# Builds the program and starts it beside the bundled sample groups (build/dev/bin/Data).
# Without a display it says so and writes every sample group's files with rez-report into
# build/dev/bin/Results instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
bin=build/dev/bin
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): the window cannot open."
  echo "Writing the sample groups' files with rez-report into $(pwd)/$bin/Results instead:"
  exec "$bin/rez-report" -o "$bin/Results" "$bin"/Data/*/
fi
exec "$bin/rez" "$@"
