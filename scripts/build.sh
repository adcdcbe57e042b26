#!/usr/bin/env bash
# Builds QRVLNK.dll, qrvhub.exe, the tests and the benchmark for one or both architectures; with
# --shipped only the three binaries that ship (the DLL, qrvcheck.exe, qrvhub.exe).
# Usage: scripts/build.sh [i686|x86_64|all] [--shipped]   (default: all)
# Fails when the DLL exports other than the nine names, when a shipped binary (the DLL, qrvcheck.exe,
# qrvhub.exe) would not load on the oldest Windows of its architecture (scripts/check_imports.sh: PE
# header versions, imports from scripts/allowed-imports.txt only), and when the i686 DLL grows past
# 330,000 bytes.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
archs="${1:-all}"
[ "$archs" = all ] && archs="i686 x86_64"
targets=()
[ "${2:-}" = --shipped ] && targets=(--target QRVLNK qrvcheck qrvhub)
for arch in $archs; do
  cmake --preset "$arch" >/dev/null
  cmake --build --preset "$arch" -j"$(nproc)" "${targets[@]}"
  # Exactly the nine exports, undecorated.
  exports=$("${arch}-w64-mingw32-objdump" -p "build/$arch/bin/QRVLNK.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | tail -n +2 | awk 'NF {print $NF}' | LC_ALL=C sort | tr '\n' ' ')
  if [ "$exports" != "AutoExport AutoImport Export GetInterfaceInfo Import QueryFunctions SetDataFilePath SetUserOrgID Setup " ]; then
    echo "QRVLNK.dll ($arch) exports: $exports" >&2
    exit 1
  fi
  # The DLL that hosts load stays within 330,000 bytes, the C++ runtime linked in included.
  if [ "$arch" = i686 ]; then
    size=$(stat -c %s "build/$arch/bin/QRVLNK.dll")
    if [ "$size" -gt 330000 ]; then
      echo "QRVLNK.dll ($arch) is $size bytes, more than 330,000; build/$arch/QRVLNK.map shows what it is made of" >&2
      exit 1
    fi
  fi
  # Every shipped binary loads on the oldest Windows of its architecture.
  bash scripts/check_imports.sh "$arch" "build/$arch/bin/QRVLNK.dll" "build/$arch/bin/qrvcheck.exe" \
    "build/$arch/bin/qrvhub.exe"
done
