#!/usr/bin/env bash
# Installs what is missing, builds both architectures and runs every test under Wine, headless, with
# Wine reporting Windows 7; then the generated hostile workspaces through the i686 DLL (without ctest
# arguments only); with both architectures, makes the release zips and the setup program and checks
# them; then the tests whose behaviour can depend on the Windows version (the version check and the
# windows, label "windows") once more under Windows XP (XP x64 for x86_64) and Windows 10.
# Usage: scripts/test.sh [i686|x86_64|all] [ctest arguments...]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
bash scripts/prepare.sh
source scripts/env.sh
archs="${1:-all}"
[ $# -gt 0 ] && shift
bash scripts/build.sh "$archs"
[ "$archs" = all ] && archs="i686 x86_64"
status=0
bash scripts/check_layers.sh || status=1
echo "== fuzz targets of the text logic (native)"
bash scripts/fuzz.sh || status=1
# Wine tells every program it starts the Windows version set in the prefix; tests/plugin checks that
# it is the one QRVLNK_WINDOWS_VERSION names. Arguments: Wine's name for the version, its number.
# reg.exe starts a Wine desktop without a display, so Wine is let end before the tests start theirs.
use_windows() {
  wine reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1
  timeout 60 wineserver -w || timeout 60 wineserver -k 2>/dev/null || true
  export QRVLNK_WINDOWS_VERSION=$2
}
# ctest under one Windows version, two test programs at a time, then Wine ends: its desktop process is
# bound to the display it started on, and the next run gets a new one. Arguments: architecture, version name and number, ctest's.
suite() {
  local arch=$1
  use_windows "$2" "$3"
  shift 3
  # Wine's own processes start first, with nothing of a test's output: started by a test they would
  # hold its output open and ctest would wait for that test to the end.
  on_display bash -c 'wineserver -p 30; wine cmd /c exit >/dev/null 2>&1 </dev/null
    exec timeout 2400 ctest "$@"' ctest --preset "$arch" --parallel 2 "$@" || status=1
  timeout 60 wineserver -k 2>/dev/null || true
}
# The whole suite under Windows 7; then the areas whose behaviour can depend on the version under the
# oldest Windows of the architecture and under Windows 10. The prefix is left on Windows 7.
trap 'use_windows win7 6.1' EXIT
for arch in $archs; do
  echo "== tests, $arch, Windows 7"
  suite "$arch" win7 6.1 "$@"
  echo "== durability of the hand-overs, $arch (strace)"
  on_display bash scripts/check_durability.sh "$arch" || status=1
  timeout 60 wineserver -k 2>/dev/null || true
  # The file functions are Wine's own under both architectures; the DLL hosts load is the i686 one.
  if [ "$arch" = i686 ] && [ $# -eq 0 ]; then
    echo "== hostile workspaces, $arch"
    bash scripts/hostile.sh || status=1
    timeout 60 wineserver -k 2>/dev/null || true
  fi
done
# The release files are made from these builds and checked as they ship.
if [ "$archs" = "i686 x86_64" ]; then
  echo "== release zips: GBK names"
  bash scripts/check_zip.sh || status=1
  echo "== setup program, both architectures (silent)"
  on_display bash scripts/check_setup.sh || status=1
  timeout 60 wineserver -k 2>/dev/null || true
fi
for arch in $archs; do
  if [ "$arch" = i686 ]; then oldest=(winxp 5.1 XP); else oldest=(winxp64 5.2 "XP x64"); fi
  echo "== tests of the windows and the version, $arch, Windows ${oldest[2]}"
  suite "$arch" "${oldest[0]}" "${oldest[1]}" -L windows "$@"
  echo "== tests of the windows and the version, $arch, Windows 10"
  suite "$arch" win10 10.0 -L windows "$@"
done
exit $status
