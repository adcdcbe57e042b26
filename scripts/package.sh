#!/usr/bin/env bash
# Builds both architectures and makes the release: dist/QRVLNK-<version>-setup.exe, the setup program
# for both (scripts/make_setup.sh), and dist/QRVLNK-<version>-<arch>.zip for each (scripts/make_zip.sh).
# The test command makes and checks the same files from the same builds (scripts/check_setup.sh,
# scripts/check_zip.sh).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh
bash scripts/build.sh all
bash scripts/make_setup.sh
for arch in i686 x86_64; do
  bash scripts/make_zip.sh "$arch"
done
