#!/usr/bin/env bash
# Builds both architectures and packs dist/QRVLNK-<version>-<arch>.zip with the DLL, the settings
# check, the substitute host, sample INI files, the Chinese guide as one HTML page and an install note.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh
bash scripts/build.sh all
mkdir -p dist
for arch in i686 x86_64; do
  # The version the binaries were built with (project(VERSION) in CMakeLists.txt).
  version=$(sed -n 's/^#define QRVLNK_VERSION_TEXT "\(.*\)"$/\1/p' "build/$arch/generated/Version.h")
  stage=$(mktemp -d)
  dir="$stage/QRVLNK-$version-$arch"
  mkdir -p "$dir/samples"
  cp "build/$arch/bin/QRVLNK.dll" "build/$arch/bin/qrvcheck.exe" "build/$arch/bin/qrvhub.exe" "$dir/"
  cp samples/OrgMap.ini samples/TaskDefine.ini "$dir/samples/"
  # Debian's python3-markdown belongs to the system interpreter.
  /usr/bin/python3 scripts/guide_html.py "docs/使用说明.md" "$dir/使用说明.html"
  # Notepad on a Chinese Windows reads GBK text with CRLF line ends.
  sed "s/@ARCH@/$arch/; s/@VERSION@/$version/" docs/INSTALL.txt | iconv -f UTF-8 -t GBK | sed 's/$/\r/' > "$dir/INSTALL.txt"
  zip="$ROOT/dist/QRVLNK-$version-$arch.zip"
  rm -f "$zip"
  # Entry names are stored as UTF-8 with the flag that says so, which Windows' own unpacker honours.
  /usr/bin/python3 - "$stage" "$zip" <<'PY'
import os, sys, zipfile
stage, target = sys.argv[1:3]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as archive:
    for folder, _, files in sorted(os.walk(stage)):
        for name in sorted(files):
            path = os.path.join(folder, name)
            archive.write(path, os.path.relpath(path, stage))
PY
  rm -rf "$stage"
  echo "dist/QRVLNK-$version-$arch.zip"
done
