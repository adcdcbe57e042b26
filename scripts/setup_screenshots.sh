#!/usr/bin/env bash
# Photographs every page of the setup program and of its uninstaller, as docs/install-*.png: a first
# setup over an older build copied into the sample installation by hand (scripts/sample_drive.sh, drive
# D:, host D:\QRVHUB\网商数据交换.exe), the settings check it offers at the end, the two messages an
# operator may meet (a file that is not a Windows program, the DLL in use), a roll back and the
# uninstall, which offers to put the older build back. The wizard is driven with
# the keyboard in Wine's own desktop, and each picture is the screen cropped to the windows on it.
# Usage: scripts/setup_screenshots.sh   (after scripts/build.sh all; needs Xvfb, Wine, xdotool, ImageMagick)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
if [ "${1:-}" != --on-display ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --on-display
fi
source "$ROOT/scripts/env.sh"
cd "$ROOT"
setup="$ROOT/$(bash scripts/make_setup.sh)"
bash scripts/sample_drive.sh i686
drive="$ROOT/build/sample-drive"
python3 scripts/older_build.py build/i686/bin/QRVLNK.dll "$drive/QRVHUB/QRVLNK.dll"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
for view in 32 64; do
  for key in QRVLNK QRVLNK-2 QRVLNK-3; do
    wine reg delete "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$key" /reg:$view /f >/dev/null 2>&1 || true
  done
done
rm -rf "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/QRVLNK"*
timeout 60 wineserver -k 2>/dev/null || true

# Starts a program in the desktop "shots", which the pictures are taken of.
start() {
  wine explorer /desktop=shots,1024x768 "$@" >/dev/null 2>&1 &
}
# Waits for the screen to settle, then keeps the windows on it as docs/<name>.png.
shot() {
  sleep "${2:-2}"
  import -window "$(xdotool search --name '^shots' | head -1)" "$tmp/screen.png"
  # 128 colours without dithering keep the text as it is on the screen at a third of the size.
  convert "$tmp/screen.png" -trim +repage -dither None -colors 128 "PNG8:docs/$1.png"
  echo "docs/$1.png"
}
key() {
  xdotool key "$@"
}
# Lets every Wine program end.
finish() {
  timeout 60 wineserver -w || timeout 60 wineserver -k 2>/dev/null || true
}

# A file that is not a Windows program.
start "$setup" '/HOST=D:\QRVHUB\Work\OrgMap.ini' '/WORKDIR=D:\QRVHUB\Work'
sleep 4
key Return Return
shot install-not-a-program
key Return Escape
sleep 1
key Return
finish

# The upgrade, page by page, with the host program's path preset.
start "$setup" '/HOST=D:\QRVHUB\网商数据交换.exe' '/WORKDIR=D:\QRVHUB\Work'
shot install-welcome 4
key Return
shot install-host
key Return
shot install-plugin-folder
key Return
shot install-work-folder
key Return
shot install-ready
key Return
shot install-done 4
key Return
shot install-finish
# Finishing with the settings check ticked opens its console window, which stays.
key Return
sleep 3
timeout 60 wineserver -k 2>/dev/null || true

# The DLL in use: a host has loaded it in another desktop while the setup program runs again.
(cd "$drive/QRVHUB/Work" && wine explorer /desktop=host,400x300 'D:\QRVHUB\网商数据交换.exe' >/dev/null 2>&1 &)
sleep 4
start "$setup"
sleep 4
key Return Return Return Return Return
shot install-in-use 4
timeout 60 wineserver -k 2>/dev/null || true

# The roll back and the uninstall, from the entry's command lines; the uninstall first offers to put
# back the build that was there before.
for run in rollback uninstall; do
  if [ $run = rollback ]; then start 'D:\QRVHUB\QRVLNK-uninst.exe' /ROLLBACK; else start 'D:\QRVHUB\QRVLNK-uninst.exe'; fi
  if [ $run = uninstall ]; then
    shot install-uninstall-original 6
    key Return
  fi
  shot install-$run 4
  key Return
  shot install-$run-done 4
  key Return
  shot install-$run-finish
  key Return
  finish
done
