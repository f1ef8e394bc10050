#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, only those that are missing.
# Quiet when everything is there; uses sudo when not run as root.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev libgl-dev
  libgif-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 fonts-dejavu-core
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix
  xvfb xauth imagemagick x11-utils openbox xdotool giflib-tools
  libxlsxwriter-dev python3-openpyxl
  qt6-translations-l10n
  poppler-utils
  dpkg-dev file lintian
)
# The Windows tests run under Wine (about 650 MB); the Windows setup program is made with
# NSIS and its version resources are read with pefile. Where these cannot be installed (say on
# a machine that is not x86-64) the test command skips those steps and says why.
optional=(wine wine64 nsis python3-pefile)

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
missing_optional=()
for p in "${optional[@]}"; do
  installed "$p" || missing_optional+=("$p")
done
[ ${#missing[@]} -eq 0 ] && [ ${#missing_optional[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]} ${missing_optional[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if [ ${#missing_optional[@]} -gt 0 ] &&
   ! $sudo apt-get install -y -qq --no-install-recommends "${missing_optional[@]}" >/dev/null; then
  echo "Could not install ${missing_optional[*]}: the Windows tests will be skipped" >&2
fi
