#!/usr/bin/env bash
# Builds QRVLNK.dll, qrvhub.exe, the tests and the benchmark for one or both architectures.
# Usage: scripts/build.sh [i686|x86_64|all]   (default: all)
# Fails when a DLL exports other than the nine names or imports other than Windows system DLLs, and
# when the i686 DLL grows past 275,000 bytes.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
archs="${1:-all}"
[ "$archs" = all ] && archs="i686 x86_64"
for arch in $archs; do
  cmake --preset "$arch" >/dev/null
  cmake --build --preset "$arch" -j"$(nproc)"
  # Exactly the nine exports, undecorated, and only Windows system DLLs imported.
  objdump="${arch}-w64-mingw32-objdump"
  imports=$("$objdump" -p "build/$arch/bin/QRVLNK.dll" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  exports=$("$objdump" -p "build/$arch/bin/QRVLNK.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | tail -n +2 | awk 'NF {print $NF}' | LC_ALL=C sort | tr '\n' ' ')
  if [ "$exports" != "AutoExport AutoImport Export GetInterfaceInfo Import QueryFunctions SetDataFilePath SetUserOrgID Setup " ]; then
    echo "QRVLNK.dll ($arch) exports: $exports" >&2
    exit 1
  fi
  # The DLL that hosts load stays within 275,000 bytes, the C++ runtime linked in included.
  if [ "$arch" = i686 ]; then
    size=$(stat -c %s "build/$arch/bin/QRVLNK.dll")
    if [ "$size" -gt 275000 ]; then
      echo "QRVLNK.dll ($arch) is $size bytes, more than 275,000; build/$arch/QRVLNK.map shows what it is made of" >&2
      exit 1
    fi
  fi
  for dll in $imports; do
    case "$dll" in
      kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|comctl32.dll|shell32.dll|ole32.dll|oleaut32.dll|msvcrt.dll) ;;
      *) echo "QRVLNK.dll ($arch) imports $dll, which is not a Windows system DLL" >&2; exit 1 ;;
    esac
  done
done
