#!/usr/bin/env bash
# Photographs the real windows for docs/: the setup sheet's five pages, the export dialog, its task
# list's cell editor, the progress window of a run and the import dialog, all on the sample
# installation of scripts/sample_drive.sh (drive D:), which the guide's examples show too. The disabled
# screenshot tests show each window and wait; this script crops the screen to it as docs/<name>.png.
# Usage: scripts/screenshots.sh [i686|x86_64]   (after a build; needs Xvfb, Wine and ImageMagick)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
arch="${1:-i686}"
if [ "${2:-}" != --on-display ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$arch" --on-display
fi
source "$ROOT/scripts/env.sh"
bash "$ROOT/scripts/sample_drive.sh" "$arch"
export QRVLNK_SAMPLE_WORK='D:\QRVHUB\Work'
bin="$ROOT/build/$arch/bin"
shots="$(mktemp -d)"
trap 'rm -rf "$shots"' EXIT
export QRVLNK_SHOT_DIR="Z:${shots//\//\\}"
mkdir -p "$ROOT/docs"

cd "$bin"
for program in test_setup test_rundlg; do
  # Wine's own desktop draws the window captions.
  wine explorer /desktop=shots,1024x768 "$program.exe" --gtest_also_run_disabled_tests \
    --gtest_filter='Screenshots.*' >"$shots/$program.log" 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    for ready in "$shots"/*.ready; do
      [ -f "$ready" ] || continue
      name="$(basename "$ready" .ready)"
      sleep 1
      read -r x y w h <"$ready"
      import -window root -crop "${w}x${h}+${x}+${y}" +repage "$ROOT/docs/$name.png"
      rm "$ready"
      touch "$shots/$name.done"
      echo "docs/$name.png"
    done
    sleep 0.2
  done
  wait "$pid" || { cat "$shots/$program.log" >&2; exit 1; }
done
