#!/usr/bin/env bash
# Builds the i686 benchmark and runs it under Wine: export and import of N small files, engine time
# against a plain copy loop. Usage: scripts/bench.sh [N ...]   (default: 1000 10000)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
source scripts/env.sh
bash scripts/wineprefix.sh
cmake --preset i686 >/dev/null
cmake --build --preset i686 --target qrvlnk_bench -j"$(nproc)"
cd build/i686/bin
timeout 3600 wine qrvlnk_bench.exe "$@"
