#!/usr/bin/env bash
# Builds and runs every test: the Windows shell's compile check (mingw-w64), the regular
# build (warnings as errors), then the sanitizer build (address and undefined behaviour).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

status=0
# The Win32 calls of the platform shell are built only on Windows; Debian has no Qt for
# mingw, but the file includes no Qt header, so its syntax is checked here.
echo "=== Windows shell syntax check (mingw-w64)"
x86_64-w64-mingw32-g++ -std=c++20 -fsyntax-only -Wall -Wextra -Wpedantic -Wold-style-cast \
  -Wshadow -Wnon-virtual-dtor -Werror -Isrc/ui src/ui/platform_shell_win32.cpp || status=1

for preset in dev asan; do
  echo "=== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "=== $preset tests"
  ctest --preset "$preset" -j2 || status=1
done
exit $status
