#!/usr/bin/env bash
# Builds the program and starts it beside the bundled sample groups (build/dev/bin/Data).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
exec build/dev/bin/rez "$@"
