#!/usr/bin/env bash
# Makes the setup program from the binaries of both builds (scripts/make_setup.sh) and runs it and its
# uninstaller silently under Wine (scripts/check_setup.py): hosts and command lines it must refuse, an
# upgrade over a hand-installed older build with its roll backs, each move made to fail in turn, a host
# holding the DLL, the entry's quiet uninstall, a setup stopped at each step, .NET hosts, a second host
# folder, and a 64-bit host whose earlier build the uninstaller puts back.
# Needs a display for the host that holds the DLL (scripts/test.sh gives it one).
# Usage: scripts/check_setup.sh   (after scripts/build.sh all)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/scripts/env.sh"
setup="$ROOT/$(bash "$ROOT/scripts/make_setup.sh")"
WS="$(mktemp -d /tmp/qrvlnk-setup.XXXXXX)"
# A check that broke off may have left a file that cannot be deleted (chattr +i).
trap 'chattr -R -i "$WS" 2>/dev/null; rm -rf "$WS"' EXIT
python3 "$ROOT/scripts/check_setup.py" "$setup" "$WS"
