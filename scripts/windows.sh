#!/usr/bin/env bash
# Builds the Windows program against the Windows SDK and writes
#   build/windows/kviro-rez-<version>-setup.exe  the setup program (NSIS)
#   build/windows/kviro-rez-<version>-win64.zip  the same files as a self-contained folder
# With --check, the setup program is then tried under Wine in a fresh prefix: a silent
# install, rez-report.exe from the install folder on the installed samples (the golden texts
# byte for byte), a silent uninstall that leaves neither the folder nor the registry entry.
set -euo pipefail
cd "$(dirname "$0")/.."
check=0
[ "${1:-}" = "--check" ] && check=1

# The SDK, where the windows preset's toolchain looks for it.
sdk=""
for dir in "${REZ_WINDOWS_SDK:-}" ../shared/windows-sdk build/windows-sdk; do
  if [ -n "$dir" ] && [ -f "$dir/toolchain.cmake" ]; then
    sdk=$(cd "$dir" && pwd)
    break
  fi
done
if [ -z "$sdk" ]; then
  echo "No Windows SDK in ../shared/windows-sdk or build/windows-sdk: scripts/windows-sdk.sh builds one" >&2
  exit 1
fi

version=$(sed -n 's/^project(KviroRez VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
out=build/windows
stage=$out/stage/KVIRO.REZ
lists=$out/stage/lists

echo "=== Windows build for the setup program"
started=$(date +%s)
cmake --preset windows >/dev/null
cmake --build --preset windows --target rez rez-report rez_samples
echo "Build took $(($(date +%s) - started)) s"

echo "=== staging $stage"
rm -rf "$out/stage"
mkdir -p "$stage"/{platforms,styles,fonts,translations,licenses} "$lists"
cp "$out/bin/rez.exe" "$out/bin/rez-report.exe" "$stage/"
cp -r "$out/bin/Data" "$stage/"
# Plugins by name: the window's platform and style, rez-report's headless platform.
cp "$sdk/qt/plugins/platforms/qwindows.dll" "$sdk/qt/plugins/platforms/qoffscreen.dll" \
   "$stage/platforms/"
cp "$sdk/qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
cp /usr/share/fonts/truetype/liberation2/LiberationSans-{Regular,Bold,Italic,BoldItalic}.ttf \
   "$stage/fonts/"
cp /usr/share/qt6/translations/qtbase_ru.qm "$stage/translations/"

# The DLLs: exactly those the programs and plugins import, directly or through another
# shipped DLL, found in the SDK's Qt or the mingw runtime; the rest are the system's.
dll_dirs=("$sdk/qt/bin" /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)
queue=("$stage"/*.exe "$stage"/platforms/*.dll "$stage"/styles/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  for name in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
    [ -e "$stage/$name" ] && continue
    for dir in "${dll_dirs[@]}"; do
      if [ -f "$dir/$name" ]; then
        cp "$dir/$name" "$stage/"
        queue+=("$stage/$name")
        break
      fi
    done
  done
done

# The licences of everything shipped, from the Debian source packages the SDK was built from.
cp LICENSE "$stage/licenses/KVIRO.REZ.txt"
cat /usr/share/doc/libqt6core6/copyright /usr/share/common-licenses/LGPL-3 \
  >"$stage/licenses/Qt.txt"
cp /usr/share/common-licenses/GPL-3 "$stage/licenses/GPL-3.txt"
cp /usr/share/doc/libgif7/copyright "$stage/licenses/giflib.txt"
cp /usr/share/doc/libxlsxwriter4/copyright "$stage/licenses/libxlsxwriter.txt"
cp /usr/share/doc/zlib1g/copyright "$stage/licenses/zlib.txt"
cat /usr/share/doc/gcc-mingw-w64-base/copyright >"$stage/licenses/mingw-gcc-runtime.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licenses/mingw-w64-winpthreads.txt"
cp /usr/share/doc/fonts-liberation2/copyright "$stage/fonts/LICENSE.txt"
# Windows editors want CR LF.
for text in "$stage"/licenses/*.txt "$stage/fonts/LICENSE.txt"; do
  sed -i 's/\r*$/\r/' "$text"
done

echo "=== $(cd "$stage" && find . -type f | wc -l) files, $(du -sh "$stage" | cut -f1)"
(cd "$stage" && find . -type f | sort | sed 's|^\./||')

# The zip: the self-contained folder, results beside the programs.
zip=$out/kviro-rez-$version-win64.zip
rm -f "$zip"
mkdir -p "$stage/Results"
(cd "$out/stage" && zip -q -r -X "../$(basename "$zip")" KVIRO.REZ)
rmdir "$stage/Results"

# The setup program's two lists: every staged file, installed and removed by name.
win() { printf '%s' "$1" | sed 's|/|\\|g'; }
{
  (cd "$stage" && find . -type d | sort | sed 's|^\./\?||') | while read -r dir; do
    echo "SetOutPath \"\$INSTDIR$([ -n "$dir" ] && echo "\\$(win "$dir")")\""
    (cd "$stage/${dir:-.}" && find . -maxdepth 1 -type f | sort | sed 's|^\./||') |
      while read -r file; do
        echo "File \"$(cd "$stage" && pwd)/${dir:+$dir/}$file\""
      done
  done
} >"$lists/install.nsh"
{
  (cd "$stage" && find . -type f | sort | sed 's|^\./||') | while read -r file; do
    echo "Delete \"\$INSTDIR\\$(win "$file")\""
  done
  (cd "$stage" && find . -mindepth 1 -type d | sort -r | sed 's|^\./||') | while read -r dir; do
    echo "RMDir \"\$INSTDIR\\$(win "$dir")\""
  done
} >"$lists/uninstall.nsh"

setup=$out/kviro-rez-$version-setup.exe
started=$(date +%s)
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DLISTS="$(cd "$lists" && pwd)" \
  -DOUTFILE="$(pwd)/$setup" packaging/kviro-rez.nsi
echo "makensis took $(($(date +%s) - started)) s"
echo "$setup: $(stat -c %s "$setup") bytes"
echo "$zip: $(stat -c %s "$zip") bytes"

# The one version everywhere: the file properties of both programs and the setup program.
# Debian's python3-pefile, for the system's own Python.
/usr/bin/python3 - "$version" "$stage/rez.exe" "$stage/rez-report.exe" "$setup" <<'PY'
import sys
import pefile
version = sys.argv[1]
status = 0
for path in sys.argv[2:]:
    pe = pefile.PE(path, fast_load=False)
    fixed = pe.VS_FIXEDFILEINFO[0]
    numbers = (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF,
               fixed.FileVersionLS >> 16)
    strings = {}
    for info in getattr(pe, "FileInfo", [[]])[0] if hasattr(pe, "FileInfo") else []:
        for table in getattr(info, "StringTable", []):
            strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    shown = strings.get("ProductVersion", "")
    ok = ".".join(map(str, numbers)) == version and shown == version
    print(f"{path}: file version {'.'.join(map(str, numbers))}, product version {shown}"
          + ("" if ok else f" -- EXPECTED {version}"))
    status |= not ok
sys.exit(status)
PY

[ $check -eq 1 ] || exit 0

echo "=== the setup program under Wine, in a fresh prefix"
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
check_dir=$(pwd)/$out/setup-check
rm -rf "$check_dir"
mkdir -p "$check_dir/prefix" "$check_dir/out"
export WINEPREFIX=$check_dir/prefix WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all LC_ALL=C.UTF-8
status=0
fail() {
  echo "FAILED: $*"
  status=1
}
step=$(date +%s)
lap() {
  echo "$1 took $(($(date +%s) - step)) s"
  step=$(date +%s)
}
wine wineboot -i </dev/null >/dev/null 2>&1
"$wineserver" -w
lap "A fresh prefix"

installed=$WINEPREFIX/drive_c/KVIRO
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\KVIRO.REZ'
# /D= comes last and unquoted, as NSIS wants it.
wine "$setup" /S '/D=C:\KVIRO' </dev/null >/dev/null 2>&1 || fail "the setup program ended with status $?"
"$wineserver" -w
lap "Silent install"
for file in rez.exe rez-report.exe uninstall.exe kviro-rez.installed platforms/qwindows.dll \
            fonts/LiberationSans-Regular.ttf translations/qtbase_ru.qm; do
  [ -f "$installed/$file" ] || fail "$file is not installed"
done
wine reg query "$uninstall_key" /v DisplayVersion 2>/dev/null | grep -q "$version" ||
  fail "no uninstall entry with version $version"
ls "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/KVIRO.REZ*.lnk \
  >/dev/null 2>&1 || fail "no Start-menu entry"

shown=$(wine "$installed/rez-report.exe" --version </dev/null 2>/dev/null | tr -d '\r')
[ "$shown" = "rez-report $version" ] || fail "rez-report.exe --version says \"$shown\""
for group in "$installed"/Data/*/; do
  wine "$installed/rez-report.exe" -d . -o "$check_dir/out" "$group" </dev/null >/dev/null 2>&1 ||
    fail "rez-report.exe on $group"
done
. scripts/golden-texts.sh
check_golden_texts "$check_dir/out" " from the installed program" ||
  fail "the installed program's texts differ from the golden texts"
lap "The installed rez-report.exe on the installed samples"

wine "$installed/uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "the uninstaller ended with status $?"
"$wineserver" -w
lap "Silent uninstall"
[ ! -e "$installed" ] || fail "the install folder is still there: $(cd "$installed" && find . | head)"
if wine reg query "$uninstall_key" >/dev/null 2>&1; then
  fail "the uninstall entry is still there"
fi
"$wineserver" -k 2>/dev/null || :
[ $status -eq 0 ] && echo "Setup program: installed, run and uninstalled cleanly under Wine"
exit $status
