#!/usr/bin/env bash
# Builds and runs every test: the Windows program (mingw-w64 against the Windows SDK, tests
# and its setup program under Wine), the fuzz corpus replay, the Debian package's check, the
# regular build (warnings as errors), then the sanitizer build (address and undefined
# behaviour).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# Compilers run through ccache: the same sources in another clone (CI's) hit the cache, since
# paths below the checkout are taken relative to it.
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi

status=0
# The whole program cross-built for Windows against the Windows SDK (Qt, giflib,
# libxlsxwriter built with mingw-w64 from Debian's source packages: ../shared/windows-sdk, or
# build/windows-sdk from scripts/windows-sdk.sh), and every test program run under Wine:
# ctest starts each one through Wine, in a prefix inside the build tree. Without the SDK only
# the Qt-free layers and the Win32 shell are built and tested (the wine preset). Windows need
# a display, so the run gets its own Xvfb; the prefix's Wine server ends with it. Now and then
# a Wine process fails to start at all (no output, well under one start in a hundred), so the
# Windows test presets run a failed test once more: a real failure fails twice.
windows_started=$(date +%s)
preset=windows
if [ ! -f ../shared/windows-sdk/toolchain.cmake ] && [ ! -f build/windows-sdk/toolchain.cmake ] &&
   [ -z "${REZ_WINDOWS_SDK:-}" ]; then
  echo "=== No Windows SDK in ../shared/windows-sdk or build/windows-sdk (scripts/windows-sdk.sh"
  echo "    builds one, in about an hour): the Windows program and its setup program are SKIPPED;"
  echo "    the Qt-free layers and the Win32 shell are built and tested instead"
  preset=wine
fi
echo "=== Windows build (mingw-w64, $preset preset)"
cmake --preset $preset >/dev/null
cmake --build --preset $preset || status=1
echo "Windows build took $(($(date +%s) - windows_started)) s"
if [ ! -x build/$preset/wine-run ]; then
  echo "=== Windows tests SKIPPED: Wine is not installed (scripts/install-deps.sh could not install it)"
elif ! command -v xvfb-run >/dev/null; then
  echo "=== Windows tests SKIPPED: xvfb-run is not installed"
else
  echo "=== Windows tests under Wine"
  wine_started=$(date +%s)
  wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
  # A server still running from the build has no display: the tests start their own.
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    export WINEPREFIX="$PWD/build/$2/wineprefix"
    "$1" -k 2>/dev/null; "$1" -w
    status=0
    ctest --preset "$2" -j2 || status=1
    "$1" -k 2>/dev/null
    exit $status' wine-tests "$wineserver" "$preset" || status=1
  echo "Windows tests under Wine took $(($(date +%s) - wine_started)) s"
  if [ $preset = windows ]; then
    if command -v makensis >/dev/null; then
      echo "=== Windows setup program, installed and uninstalled under Wine"
      setup_started=$(date +%s)
      xvfb-run -a -s "-screen 0 1280x1024x24" scripts/windows.sh --check || status=1
      echo "Windows setup program and its check took $(($(date +%s) - setup_started)) s"
    else
      echo "=== Windows setup program SKIPPED: makensis is not installed (Debian's nsis)"
    fi
  fi
fi
echo "Windows build and tests took $(($(date +%s) - windows_started)) s"

# The fuzz targets replay their corpora (every seed and every past finding) once: no new
# fuzzing, so the result is the same on every run.
if command -v clang++ >/dev/null; then
  echo "=== fuzz corpus replay (clang, libFuzzer)"
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz
  for target in reader group options; do
    if build/fuzz/bin/fuzz_$target -runs=0 fuzz/corpus/$target >/tmp/rez-fuzz-$target.log 2>&1; then
      echo "fuzz_$target: corpus of $(ls fuzz/corpus/$target | wc -l) inputs replayed cleanly"
    else
      cat /tmp/rez-fuzz-$target.log
      echo "fuzz_$target: corpus replay FAILED"
      status=1
    fi
  done
fi

# The Debian package: built, checked with lintian, unpacked into a fresh folder and run from
# there on its own sample groups.
scripts/package.sh || status=1

for preset in dev asan; do
  echo "=== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "=== $preset tests"
  ctest --preset "$preset" -j2 || status=1
done
exit $status
