#!/usr/bin/env bash
# Builds and runs every test: the regular build (warnings as errors), then the sanitizer
# build (address and undefined behaviour).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

status=0
for preset in dev asan; do
  echo "=== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "=== $preset tests"
  ctest --preset "$preset" -j2 || status=1
done
exit $status
