#!/usr/bin/env bash
# Builds and runs every test: the Windows shell's compile check (mingw-w64), the regular
# build (warnings as errors), then the sanitizer build (address and undefined behaviour).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

status=0
# The Win32 calls of the platform shell, the file writer and the command line are built only
# on Windows; Debian has no Qt for mingw, but these files include no Qt header, so their
# syntax is checked here.
echo "=== Windows shell syntax check (mingw-w64)"
x86_64-w64-mingw32-g++ -std=c++20 -fsyntax-only -Wall -Wextra -Wpedantic -Wold-style-cast \
  -Wshadow -Wnon-virtual-dtor -Werror -Isrc/ui src/ui/platform_shell_win32.cpp || status=1
x86_64-w64-mingw32-g++ -std=c++20 -fsyntax-only -Wall -Wextra -Wpedantic -Wold-style-cast \
  -Wshadow -Wnon-virtual-dtor -Werror -Isrc/model -Isrc/files src/files/atomic_file.cpp \
  src/files/file_names.cpp src/cli/command_line.cpp || status=1

# The fuzz targets replay their corpora (every seed and every past finding) once: no new
# fuzzing, so the result is the same on every run.
if command -v clang++ >/dev/null; then
  echo "=== fuzz corpus replay (clang, libFuzzer)"
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz
  for target in reader group; do
    if build/fuzz/bin/fuzz_$target -runs=0 fuzz/corpus/$target >/tmp/rez-fuzz-$target.log 2>&1; then
      echo "fuzz_$target: corpus of $(ls fuzz/corpus/$target | wc -l) inputs replayed cleanly"
    else
      cat /tmp/rez-fuzz-$target.log
      echo "fuzz_$target: corpus replay FAILED"
      status=1
    fi
  done
fi

for preset in dev asan; do
  echo "=== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "=== $preset tests"
  ctest --preset "$preset" -j2 || status=1
done
exit $status
