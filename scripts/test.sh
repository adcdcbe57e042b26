#!/usr/bin/env bash
# Installs what is missing, builds both architectures and runs every test under Wine, headless.
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
run() {
  if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then "$@"; else xvfb-run -a -s "-screen 0 1024x768x24" "$@"; fi
}
for arch in $archs; do
  echo "== tests, $arch"
  run timeout 2400 ctest --preset "$arch" "$@" || status=1
  echo "== durability of the hand-overs, $arch (strace)"
  run bash scripts/check_durability.sh "$arch" || status=1
  # Wine's desktop process is bound to the display it started on; the next run gets a new one.
  timeout 60 wineserver -k 2>/dev/null || true
done
exit $status
