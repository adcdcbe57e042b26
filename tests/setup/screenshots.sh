#!/usr/bin/env bash
# Photographs the five pages of the setup sheet into docs/setup-<page>.png.
# Usage: tests/setup/screenshots.sh [i686|x86_64]   (after a build; needs Xvfb, Wine and ImageMagick)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
arch="${1:-i686}"
if [ "${2:-}" != --on-display ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$arch" --on-display
fi
source "$ROOT/scripts/env.sh"
bin="$ROOT/build/$arch/bin"
shots="$(mktemp -d)"
trap 'rm -rf "$shots"' EXIT
export QRVLNK_SHOT_DIR="Z:${shots//\//\\}"
names=(orgmap filepath database tasks supplier)
mkdir -p "$ROOT/docs"

cd "$bin"
# Wine's own desktop draws the window captions.
wine explorer /desktop=shots,1024x768 test_setup.exe --gtest_also_run_disabled_tests \
  --gtest_filter='Screenshots.*' >"$shots/test.log" 2>&1 &
pid=$!
for i in "${!names[@]}"; do
  for _ in $(seq 600); do [ -f "$shots/page-$i.ready" ] && break; sleep 0.1; done
  [ -f "$shots/page-$i.ready" ] || { echo "page $i never showed" >&2; cat "$shots/test.log" >&2; exit 1; }
  sleep 1
  read -r x y w h <"$shots/page-$i.ready"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$ROOT/docs/setup-${names[$i]}.png"
  touch "$shots/page-$i.done"
done
wait "$pid"
ls -l "$ROOT"/docs/setup-*.png
