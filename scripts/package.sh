#!/usr/bin/env bash
# Builds the Debian package build/package/kviro-rez_<version>_amd64.deb and checks it: lintian
# must find no error, and the package unpacked into a fresh folder (dpkg -x, nothing
# installed) must run on its own: rez-report --version, and a Group run on the packaged
# sample groups whose table and analysis files match the golden texts.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# The compiler and linker flags of a Debian build, hardening included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
echo "=== package build"
cmake --preset package -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build --preset package
rm -f build/package/kviro-rez_*.deb
(cd build/package && cpack -G DEB >/dev/null)
deb=$(ls build/package/kviro-rez_*_amd64.deb)
version=$(dpkg-deb --field "$deb" Version)

echo "=== $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends Installed-Size
dpkg-deb --contents "$deb" | awk '{ print $1, $6 }'

echo "=== lintian"
# Errors fail the check; warnings and notes are shown.
lintian --fail-on error --display-info "$deb"
echo "lintian: no errors"

echo "=== the unpacked package on its own"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root/unpacked"
report="$root/unpacked/usr/bin/rez-report"
shown=$("$report" --version)
echo "$shown"
if [ "$shown" != "rez-report $version" ]; then
  echo "rez-report --version says \"$shown\", the package is $version"
  exit 1
fi
mkdir "$root/out"
for group in "$root"/unpacked/usr/share/kviro-rez/Data/*/; do
  "$report" -d . -o "$root/out" "$group"
done
. scripts/golden-texts.sh
status=0
check_golden_texts "$root/out" || status=1
exit $status
