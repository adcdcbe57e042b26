#!/usr/bin/env bash
# Builds both architectures and packs dist/QRVLNK-<version>-<arch>.zip with the DLL, the substitute
# host, sample INI files and an install note.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh
bash scripts/build.sh all
version=$(sed -n 's/^project(QRVLNK VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
mkdir -p dist
for arch in i686 x86_64; do
  stage=$(mktemp -d)
  dir="$stage/QRVLNK-$version-$arch"
  mkdir -p "$dir/samples"
  cp "build/$arch/bin/QRVLNK.dll" "build/$arch/bin/qrvhub.exe" "$dir/"
  cp samples/OrgMap.ini samples/TaskDefine.ini "$dir/samples/"
  sed "s/@ARCH@/$arch/; s/@VERSION@/$version/" docs/INSTALL.txt | sed 's/$/\r/' > "$dir/INSTALL.txt"
  rm -f "dist/QRVLNK-$version-$arch.zip"
  (cd "$stage" && zip -qr "$ROOT/dist/QRVLNK-$version-$arch.zip" "QRVLNK-$version-$arch")
  rm -rf "$stage"
  echo "dist/QRVLNK-$version-$arch.zip"
done
