#!/usr/bin/env bash
# Prints the qrvcheck.exe examples of the guide (docs/使用说明.md) as they really come out, converted
# from GBK, with their exit codes: run on the sample installation of scripts/sample_drive.sh as an
# operator types it in a command prompt, then on the same installation with some settings spoilt; then
# the transfer record of an unattended export and import, on a virtual display of its own.
# The runs are those of an office machine: computer PC01 (its own host name, in a UTS namespace: run as
# root) and Windows user zhang, as the record's last column shows them.
# Usage: scripts/guide_examples.sh [i686|x86_64]   (after a build of that architecture)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
arch="${1:-i686}"
source "$ROOT/scripts/env.sh"
if [ "$(hostname)" != pc01 ]; then
  # A Wine server started under another host name would outlive the change; so would this one.
  wineserver -k 2>/dev/null || true
  # The display too is made afresh inside: an X server's key is bound to the host name.
  env -u DISPLAY -u XAUTHORITY USER=zhang LOGNAME=zhang unshare --uts bash -c 'hostname pc01 && bash "$0" "$@"; status=$?; wineserver -k 2>/dev/null; exit $status' "$0" "$@"
  exit
fi
drive="$ROOT/build/sample-drive"

check() {
  echo "== $1"
  echo 'D:\QRVHUB\Work>D:\QRVHUB\qrvcheck.exe --plan'
  local status=0
  timeout 120 wine cmd /c 'cd /d D:\QRVHUB\Work && D:\QRVHUB\qrvcheck.exe --plan' >"$drive/out.txt" 2>/dev/null || status=$?
  iconv -f GBK -t UTF-8 "$drive/out.txt" | tr -d '\r'
  echo "exit code: $status"
  echo
}

bash "$ROOT/scripts/sample_drive.sh" "$arch"
check "the sample installation"

# Spoilt: a blank after the send directory, IsDeleted stored as text, a platform code that is not a
# folder name and a gap in the numbering of OrgMap.ini, a read-only file in the receive directory with
# the name of a delivered one, and a delivered name already in Backup.
import_reg <<'EOF'
[HKEY_CURRENT_USER\Software\Quorvane\QRVLNK\2.0]
"SourcePath"="D:\\Dist\\Send "
"IsDeleted"="1"
EOF
python3 - "$drive/QRVHUB/Work/OrgMap.ini" <<'PY'
import sys
path = sys.argv[1]
text = open(path, "rb").read().decode("gbk")
pairs = "ClientID0003=C005\r\nQRVID0003=..\\Q500\r\nClientID0005=C006\r\nQRVID0005=Q600\r\n"
text = text.replace("[Suppliers]", pairs + "[Suppliers]")
open(path, "wb").write(text.encode("gbk"))
PY
echo "older invoice" > "$drive/Dist/Receive/INV_Q900_20261208-1.txt"
chmod a-w "$drive/Dist/Receive/INV_Q900_20261208-1.txt"
mkdir -p "$drive/QRVHUB/Data/Q900/Backup"
echo "older price list" > "$drive/QRVHUB/Data/Q900/Backup/价格表_20261208.txt"
check "the same installation, spoilt"
rm -f "$drive/out.txt"

# The transfer record: the sample installation afresh, with a folder in the receive directory where a
# delivered file should go (that import fails without a box), after an unattended export and import.
# The host (qrvhub.exe) needs a display.
bash "$ROOT/scripts/sample_drive.sh" "$arch"
mkdir "$drive/Dist/Receive/INV_Q900_20261208-2.txt"
# Wine's desktop process started without a display; the host's windows need one.
wineserver -k 2>/dev/null || true
on_display timeout 300 wine cmd /c 'cd /d D:\QRVHUB\Work && D:\QRVHUB\网商数据交换.exe autoexport autoimport' >/dev/null 2>&1
echo "== D:\\QRVHUB\\Work\\传送记录.csv"
iconv -f GBK -t UTF-8 "$drive/QRVHUB/Work/传送记录.csv" | tr -d '\r'
echo
echo "== D:\\QRVHUB\\Work>D:\\QRVHUB\\qrvcheck.exe --history"
status=0
timeout 120 wine cmd /c 'cd /d D:\QRVHUB\Work && D:\QRVHUB\qrvcheck.exe --history' >"$drive/out.txt" 2>/dev/null || status=$?
iconv -f GBK -t UTF-8 "$drive/out.txt" | tr -d '\r'
echo "exit code: $status"
rm -f "$drive/out.txt"
