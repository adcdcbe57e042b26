#!/usr/bin/env bash
# Packs dist/QRVLNK-<version>-<arch>.zip from one build as it is: the DLL, the settings check, the
# substitute host, sample INI files, the Chinese guide as one HTML page and an install note; names in
# GBK (scripts/zip_gbk.py). Prints its path. Usage: scripts/make_zip.sh i686|x86_64   (after a build)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
arch=$1
# The version the binaries were built with (project(VERSION) in CMakeLists.txt).
version=$(sed -n 's/^#define QRVLNK_VERSION_TEXT "\(.*\)"$/\1/p' "build/$arch/generated/Version.h")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dir="$stage/QRVLNK-$version-$arch"
mkdir -p "$dir/samples"
cp "build/$arch/bin/QRVLNK.dll" "build/$arch/bin/qrvcheck.exe" "build/$arch/bin/qrvhub.exe" "$dir/"
cp samples/OrgMap.ini samples/TaskDefine.ini "$dir/samples/"
# Debian's python3-markdown belongs to the system interpreter.
/usr/bin/python3 scripts/guide_html.py "docs/使用说明.md" "$dir/使用说明.html"
# Notepad on a Chinese Windows reads GBK text with CRLF line ends.
sed "s/@ARCH@/$arch/; s/@VERSION@/$version/" docs/INSTALL.txt | iconv -f UTF-8 -t GBK | sed 's/$/\r/' > "$dir/INSTALL.txt"
mkdir -p dist
zip="dist/QRVLNK-$version-$arch.zip"
rm -f "$zip"
/usr/bin/python3 scripts/zip_gbk.py "$stage" "$zip"
echo "$zip"
