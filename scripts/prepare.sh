#!/usr/bin/env bash
# Installs what is missing and creates the Wine prefix; the other scripts start with it.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/wineprefix.sh"
