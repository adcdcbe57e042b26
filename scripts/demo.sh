#!/usr/bin/env bash
# The main job: builds QRVLNK.dll and qrvhub.exe, lays out a sample workspace, checks its settings with
# a dry run (qrvcheck.exe), and runs an unattended export and import through the substitute host,
# showing the directory trees before and after and the transfer record the runs wrote.
# Headless (Xvfb) when there is no display. Usage: scripts/demo.sh [workspace-dir]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
if [ -z "${DISPLAY:-}" ]; then
  # One X server for the whole job: Wine's desktop process stays bound to the display it started on.
  bash scripts/prepare.sh
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
bash scripts/prepare.sh
source scripts/env.sh
bash scripts/build.sh i686 --shipped

WS="$(realpath -m "${1:-$ROOT/demo}")"
BIN="$ROOT/build/i686/bin"
rm -rf "$WS"
mkdir -p "$WS/host" "$WS/send" "$WS/receive" "$WS/data/Q900"
winpath() { winepath -w "$1" 2>/dev/null; }

# The host's current directory holds the two INI files.
cp samples/OrgMap.ini samples/TaskDefine.ini "$WS/host/"

# Files the distribution system left for export: prefix_code_rest, code = client organisation code.
day=$(date +%Y%m%d)
echo "orders"      > "$WS/send/ORD_C001_$day.txt"
echo "stock"       > "$WS/send/STK_C002_$day.txt"
echo "east region" > "$WS/send/销售_华东_$day.txt"
echo "no code"     > "$WS/send/notes.txt"
echo "unmapped"    > "$WS/send/ORD_C999_$day.txt"
# Files the platform delivered for the user's organisation Q900.
echo "invoice 1"   > "$WS/data/Q900/INV_Q900_$day-1.txt"
echo "invoice 2"   > "$WS/data/Q900/INV_Q900_$day-2.txt"
echo "价格表"      > "$WS/data/Q900/价格表_$day.txt"

# Settings the setup sheet would store, plus what the host pushes through its exports.
import_reg <<EOF
[HKEY_CURRENT_USER\\Software\\Quorvane\\QRVLNK\\2.0]
"SourcePath"="$(reg_text "$(winpath "$WS/send")")"
"DestPath"="$(reg_text "$(winpath "$WS/receive")")"
"IsDeleted"=dword:00000001
EOF

host() { (cd "$WS/host" && timeout 600 wine "$(winpath "$BIN/qrvhub.exe")" "$@" | iconv -f GBK -t UTF-8); }
tree() { (cd "$WS" && find send receive data -print | sort | sed 's|[^/]*/|  |g'); }

echo "== Workspace $WS"
host info
host set-data-path "$(winpath "$WS/data")" set-user-org Q900
echo "== Before"
tree
echo "== Settings check and dry run: qrvcheck.exe --plan (exit code 1: some files would stay)"
(cd "$WS/host" && timeout 120 wine "$(winpath "$BIN/qrvcheck.exe")" --plan | iconv -f GBK -t UTF-8) || true
echo "== Running: qrvhub.exe autoexport autoimport"
host autoexport autoimport
echo "== After"
tree
echo "== Exported (data/<platform code>):"
(cd "$WS/data" && find . -path ./Q900 -prune -o -type f -print | sort)
echo "== Imported (receive) and archived (data/Q900/Backup):"
(cd "$WS" && find receive data/Q900/Backup -type f | sort)
echo "== Left in send (no client code, or a code the mapping does not know):"
(cd "$WS" && find send -type f | sort)
echo "== The transfer record (host/传送记录.csv) and what qrvcheck.exe --history makes of it:"
iconv -f GBK -t UTF-8 "$WS/host/传送记录.csv"
(cd "$WS/host" && timeout 120 wine "$(winpath "$BIN/qrvcheck.exe")" --history | iconv -f GBK -t UTF-8) || true
timeout 60 wineserver -k 2>/dev/null || true
