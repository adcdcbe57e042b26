#!/usr/bin/env bash
# Makes the setup program from the binaries of both builds (scripts/make_setup.sh) and runs it and its
# uninstaller silently under Wine (scripts/check_setup.py): hosts it must refuse, an upgrade over an
# older build with its roll back, a host holding the DLL, uninstalling, and a 64-bit host.
# Needs a display for the host that holds the DLL (scripts/test.sh gives it one).
# Usage: scripts/check_setup.sh   (after scripts/build.sh all)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/scripts/env.sh"
setup="$ROOT/$(bash "$ROOT/scripts/make_setup.sh")"
WS="$(mktemp -d /tmp/qrvlnk-setup.XXXXXX)"
trap 'rm -rf "$WS"' EXIT
python3 "$ROOT/scripts/check_setup.py" "$setup" "$WS"
