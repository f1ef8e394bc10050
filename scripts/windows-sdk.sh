#!/usr/bin/env bash
# Builds the Windows SDK that the `windows` preset builds against, into build/windows-sdk/:
# Qt 6.4.2 qtbase (shared), giflib 5.2.1, libxlsxwriter 1.1.4 and zlib 1.2.13 (static), all
# from Debian 12's own source packages, cross-built with the mingw-w64 posix compilers; Qt
# against Debian's Qt 6.4.2 host tools. About an hour on two cores; the test command does not
# run it (it uses ../shared/windows-sdk where that is present).
#   scripts/windows-sdk.sh [--sources-only]
# --sources-only stops once the source packages are fetched and unpacked.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
sdk=$root/build/windows-sdk
work=$root/build/windows-sdk-src
jobs=${JOBS:-2}

# The versions of Debian 12 that the SDK was made from.
sources=(
  qt6-base=6.4.2+dfsg-10
  giflib=5.2.1-2.5+deb12u1
  libxlsxwriter=1.1.4-2
  zlib=1:1.2.13.dfsg-1
)
needs=(g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools cmake ninja-build dpkg-dev)
for p in "${needs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
    { echo "Missing package $p: scripts/install-deps.sh installs it" >&2; exit 1; }
done

# A private apt state with a deb-src line for every deb line of this machine, so the source
# packages come from the archive its binary packages come from; the system's apt is untouched.
apt=$work/apt
mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial"
for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$list" ] && sed -n 's/^deb \(.*\)/deb-src \1/p' "$list"
done >"$apt/sources.list.d/src.list"
for list in /etc/apt/sources.list.d/*.sources; do
  [ -f "$list" ] && sed 's/^Types: deb$/Types: deb-src/' "$list" >"$apt/sources.list.d/$(basename "$list")"
done
apt_options=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
             -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o "Debug::NoLocking=1")
echo "=== source package lists"
apt-get "${apt_options[@]}" -qq update

echo "=== source packages: ${sources[*]}"
mkdir -p "$work/src"
(cd "$work/src" && apt-get "${apt_options[@]}" -qq source "${sources[@]}")
[ "${1:-}" = "--sources-only" ] && { echo "Sources in $work/src"; exit 0; }

src() { ls -d "$work/src/$1"-*/ | head -n 1; }
rm -rf "$sdk"
mkdir -p "$sdk/lib" "$sdk/include"
cat >"$work/mingw.cmake" <<'CMAKE'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
CMAKE

echo "=== zlib"
zlib=$(src zlib)
cmake -G Ninja -S "$zlib" -B "$work/build-zlib" -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C "$work/build-zlib" -j"$jobs" zlibstatic
cp "$work/build-zlib/libzlibstatic.a" "$sdk/lib/libz.a"
cp "$zlib/zlib.h" "$work/build-zlib/zconf.h" "$sdk/include/"

echo "=== giflib"
gif=$(src giflib)
mkdir -p "$work/build-gif"
for c in dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize; do
  x86_64-w64-mingw32-gcc-posix -O2 -c "$gif/$c.c" -o "$work/build-gif/$c.o"
done
x86_64-w64-mingw32-ar rcs "$sdk/lib/libgif.a" "$work"/build-gif/*.o
cp "$gif/gif_lib.h" "$sdk/include/"

echo "=== libxlsxwriter"
cmake -G Ninja -S "$(src libxlsxwriter)" -B "$work/build-xlsxwriter" \
  -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF -DCMAKE_INSTALL_PREFIX="$sdk" \
  -DZLIB_INCLUDE_DIR="$sdk/include" -DZLIB_LIBRARY="$sdk/lib/libz.a" >/dev/null
ninja -C "$work/build-xlsxwriter" -j"$jobs" install >/dev/null

echo "=== Qt 6.4.2 qtbase (the long part)"
qt=$(src qt6-base)
# Qt 6.4.2's Windows plugin does not build with OpenGL off without this.
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
  "$qt/src/plugins/platforms/windows/qwindowswindow.cpp"
cmake -G Ninja -S "$qt" -B "$work/build-qt" \
  -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$sdk/qt" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_printsupport=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF \
  -DFEATURE_jpeg=OFF -DFEATURE_tabletevent=OFF >/dev/null
ninja -C "$work/build-qt" -j"$jobs"
ninja -C "$work/build-qt" install >/dev/null
rm -rf "$sdk/qt/doc"
x86_64-w64-mingw32-strip --strip-unneeded "$sdk"/qt/bin/*.dll "$sdk"/qt/plugins/*/*.dll

# The toolchain file that finds this SDK wherever it lies.
cat >"$sdk/toolchain.cmake" <<'CMAKE'
# CMake toolchain for x86_64-w64-mingw32 with the posix-thread compilers of Debian 12, finding
# this SDK's Qt and libraries. Qt's host tools come from Debian's Qt 6.4.2 (qt6-base-dev-tools).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
get_filename_component(REZ_WINDOWS_SDK "${CMAKE_CURRENT_LIST_DIR}" ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 "${REZ_WINDOWS_SDK}" "${REZ_WINDOWS_SDK}/qt")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(QT_HOST_PATH /usr CACHE PATH "Debian's Qt 6.4.2 host tools")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "Debian's Qt 6 CMake packages")
CMAKE
echo "Windows SDK in $sdk: the windows preset finds it there"
