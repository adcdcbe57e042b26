#!/usr/bin/env bash
# Packs QRVLNK-<version>-<arch>.zip from one build as it is: the DLL and the settings check, the
# samples under names no run reads, the trial host in a folder of its own (试用\, with a copy of the
# DLL: it is never copied into a host's folder), the Chinese guide as one HTML page and an install
# note, both with the distributor's support contact (scripts/support_contact.py); names in GBK
# (scripts/zip_gbk.py). Prints its path.
# Usage: scripts/make_zip.sh i686|x86_64 [FOLDER]   (after a build; FOLDER defaults to dist)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
arch=$1
out="${2:-dist}"
# The version the binaries were built with (project(VERSION) in CMakeLists.txt).
version=$(sed -n 's/^#define QRVLNK_VERSION_TEXT "\(.*\)"$/\1/p' "build/$arch/generated/Version.h")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dir="$stage/QRVLNK-$version-$arch"
bin="build/$arch/bin"
mkdir -p "$dir/samples" "$dir/试用"
cp "$bin/QRVLNK.dll" "$bin/qrvcheck.exe" "$dir/"
cp "$bin/qrvhub.exe" "$bin/QRVLNK.dll" "$dir/试用/"
cp samples/OrgMap.ini "$dir/samples/OrgMap.示例.ini"
cp samples/TaskDefine.ini "$dir/samples/TaskDefine.示例.ini"
# Debian's python3-markdown belongs to the system interpreter.
/usr/bin/python3 scripts/guide_html.py "docs/使用说明.md" "$dir/QRVLNK使用说明.html"
sed "s/@ARCH@/$arch/; s/@VERSION@/$version/" docs/INSTALL.txt > "$stage/INSTALL.txt"
/usr/bin/python3 scripts/support_contact.py "$dir/QRVLNK使用说明.html" "$stage/INSTALL.txt"
# Notepad on a Chinese Windows reads GBK text with CRLF line ends.
iconv -f UTF-8 -t GBK "$stage/INSTALL.txt" | sed 's/$/\r/' > "$dir/INSTALL.txt"
rm "$stage/INSTALL.txt"
mkdir -p "$out"
zip="$out/QRVLNK-$version-$arch.zip"
rm -f "$zip"
/usr/bin/python3 scripts/zip_gbk.py "$stage" "$zip"
echo "$zip"
