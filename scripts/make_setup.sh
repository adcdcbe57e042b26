#!/usr/bin/env bash
# Makes dist/QRVLNK-<version>-setup.exe (installer/QRVLNK.nsi) from the binaries in build/i686/bin and
# build/x86_64/bin as they are, the guide as one HTML page and the sample INI files, with the
# distributor's support contact (scripts/support_contact.py); prints its path. Both builds must be
# there and carry the same version. Fails when the setup program, its uninstaller or an NSIS plug-in
# it carries would not load on Windows XP (scripts/check_imports.sh).
# Usage: scripts/make_setup.sh
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
version_of() { sed -n 's/^#define QRVLNK_VERSION_TEXT "\(.*\)"$/\1/p' "build/$1/generated/Version.h"; }
version=$(version_of i686)
if [ "$version" != "$(version_of x86_64)" ]; then
  echo "make_setup: build/i686 and build/x86_64 were built with different versions" >&2
  exit 1
fi
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
# Debian's python3-markdown belongs to the system interpreter.
/usr/bin/python3 scripts/guide_html.py "docs/使用说明.md" "$stage/guide.html"
/usr/bin/python3 scripts/support_contact.py --nsh "$stage/contact.nsh" "$stage/guide.html"
mkdir -p dist
out="dist/QRVLNK-$version-setup.exe"
makensis -V2 -WX -INPUTCHARSET UTF8 -DBIN32="$ROOT/build/i686/bin" -DBIN64="$ROOT/build/x86_64/bin" \
  -DGUIDE="$stage/guide.html" -DSAMPLES="$ROOT/samples" -DCONTACT_NSH="$stage/contact.nsh" \
  -DOUTFILE="$ROOT/$out" installer/QRVLNK.nsi >&2
# The setup program, the uninstaller it carries and its NSIS plug-ins load on Windows XP.
7zz x -y -o"$stage/content" "$out" 'QRVLNK.~new/QRVLNK-uninst.exe' '$PLUGINSDIR/*.dll' >/dev/null
bash scripts/check_imports.sh i686 --older-header "$out" "$stage/content/QRVLNK.~new/QRVLNK-uninst.exe" \
  "$stage/content/\$PLUGINSDIR/"*.dll
echo "$out"
