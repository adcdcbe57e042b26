#!/usr/bin/env bash
# Builds the benchmark and runs it under Wine for one or both architectures: list rewrites, the time
# until an export's progress window appears, the engines against plain CopyFileA loops (small and large
# files) and whole automatic runs through the dialogs, each as a ratio measured in the same run.
# Usage: scripts/bench.sh [i686|x86_64|all] [qrvlnk_bench.exe arguments...]   (default: all)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
bash scripts/prepare.sh
source scripts/env.sh
archs="${1:-all}"
[ $# -gt 0 ] && shift
[ "$archs" = all ] && archs="i686 x86_64"
for arch in $archs; do
  cmake --preset "$arch" >/dev/null
  cmake --build --preset "$arch" --target qrvlnk_bench -j"$(nproc)" >/dev/null
  (cd "build/$arch/bin" && on_display timeout 3600 wine qrvlnk_bench.exe "$@")
  # Wine's desktop process is bound to the display it started on; the next run gets a new one.
  timeout 60 wineserver -k 2>/dev/null || true
done
