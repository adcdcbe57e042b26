#!/usr/bin/env bash
# Lays out, afresh, the sample installation that the guide's pictures and examples show, on drive D: of
# the Wine prefix (a link to build/sample-drive):
#   D:\QRVHUB          the host's folder and plug-in folder: the host 网商数据交换.exe (the substitute
#                      host qrvhub.exe under a name that no file of the release has), QRVLNK.dll and
#                      qrvcheck.exe
#   D:\QRVHUB\Work     the host's working directory with samples/OrgMap.ini and samples/TaskDefine.ini
#   D:\QRVHUB\Data     the data-file location: a platform folder per mapped code, and Q900, where the
#                      platform delivered three files for the user's organisation
#   D:\Dist\Send       the send directory: files to export, and a folder per client code as "增加" makes
#   D:\Dist\Receive    the receive directory, empty
# and the plug-in's settings (HKCU\Software\Quorvane\QRVLNK\2.0) pointing at them.
# Usage: scripts/sample_drive.sh [i686|x86_64]   (after a build of that architecture)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
arch="${1:-i686}"
source "$ROOT/scripts/env.sh"
drive="$ROOT/build/sample-drive"
day=20261208

rm -rf "$drive"
mkdir -p "$drive/QRVHUB/Work" "$drive/QRVHUB/Data/Q900" "$drive/Dist/Send" "$drive/Dist/Receive"
ln -sfn "$drive" "$WINEPREFIX/dosdevices/d:"
cp "$ROOT/build/$arch/bin/"{QRVLNK.dll,qrvcheck.exe} "$drive/QRVHUB/"
cp "$ROOT/build/$arch/bin/qrvhub.exe" "$drive/QRVHUB/网商数据交换.exe"
cp "$ROOT/samples/OrgMap.ini" "$ROOT/samples/TaskDefine.ini" "$drive/QRVHUB/Work/"

# The folders "增加" made for the three pairs of samples/OrgMap.ini.
for code in Q100 Q200 Q300; do mkdir -p "$drive/QRVHUB/Data/$code"; done
for code in C001 C002 华东; do mkdir -p "$drive/Dist/Send/$code"; done
# Files the distribution system left for export: prefix_code_rest, code = client code.
echo "orders"      > "$drive/Dist/Send/ORD_C001_$day.txt"
echo "stock"       > "$drive/Dist/Send/STK_C002_$day.txt"
echo "east region" > "$drive/Dist/Send/销售_华东_$day.txt"
echo "no code"     > "$drive/Dist/Send/notes.txt"
echo "unmapped"    > "$drive/Dist/Send/ORD_C999_$day.txt"
# Files the platform delivered for the user's organisation Q900.
echo "invoice 1"   > "$drive/QRVHUB/Data/Q900/INV_Q900_$day-1.txt"
echo "invoice 2"   > "$drive/QRVHUB/Data/Q900/INV_Q900_$day-2.txt"
echo "价格表"      > "$drive/QRVHUB/Data/Q900/价格表_$day.txt"

# Registry values with Chinese text go in through a UTF-16 file.
import_reg <<'EOF'
[-HKEY_CURRENT_USER\Software\Quorvane\QRVLNK]

[HKEY_CURRENT_USER\Software\Quorvane\QRVLNK\2.0]
"UserOrgID"="Q900"
"ExportLocation"="D:\\QRVHUB\\Data"
"SourcePath"="D:\\Dist\\Send"
"DestPath"="D:\\Dist\\Receive"
"IsDeleted"=dword:00000001
"OrgID"="分销数据库"
"Username"="dist"
"Password"="dist2026"
EOF
