#!/usr/bin/env bash
# Traces a real export (sources deleted) and import through qrvhub.exe and checks, file by file, that a
# copy is on disk before it takes its final name, and that the name is on disk before the source goes:
#   fsync(temporary file) < rename(temporary file -> target) < fsync(target folder)
#     < unlink(source)                  for an export
#     < rename(claim -> Backup\name)    for an import, whose claim (the rename of the source into
#                                         Backup\.~qrvlnk-claims-...) follows the fsync of its copy
# Needs a display (scripts/test.sh gives it one). Usage: scripts/check_durability.sh [i686|x86_64]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/scripts/env.sh"
arch="${1:-i686}"
BIN="$ROOT/build/$arch/bin"
WS="$(mktemp -d /tmp/qrvlnk-durability.XXXXXX)"
trap 'rm -rf "$WS"' EXIT
mkdir -p "$WS/host" "$WS/send" "$WS/receive" "$WS/data/Q900"
printf '[OrgMapping]\r\nClientID0000=C1\r\nQRVID0000=P1\r\n' > "$WS/host/OrgMap.ini"
for i in 1 2 3 4 5; do
  head -c $((i * 70000)) /dev/urandom > "$WS/send/x_C1_$i.dat"
  head -c $((i * 70000)) /dev/urandom > "$WS/data/Q900/d$i.dat"
done
winpath() { winepath -w "$1" 2>/dev/null; }
import_reg <<EOF
[HKEY_CURRENT_USER\\Software\\Quorvane\\QRVLNK\\2.0]
"SourcePath"="$(reg_text "$(winpath "$WS/send")")"
"DestPath"="$(reg_text "$(winpath "$WS/receive")")"
"IsDeleted"=dword:00000001
EOF
(cd "$WS/host" && timeout 120 wine "$BIN/qrvhub.exe" set-data-path "$(winpath "$WS/data")" set-user-org Q900 >/dev/null)
# The renames are made by the Wine server: it must start under the trace.
timeout 60 wineserver -k 2>/dev/null || true
(cd "$WS/host" && timeout 600 strace -f -y -qq -o "$WS/trace" \
  -e trace=fsync,fdatasync,rename,renameat,renameat2,unlink,unlinkat wine "$BIN/qrvhub.exe" autoexport autoimport >/dev/null)
timeout 60 wineserver -k 2>/dev/null || true

python3 - "$WS" "$WS/trace" <<'PY'
import re, sys
ws, trace = sys.argv[1:3]
calls, pending = [], {}
done = re.compile(r'^(\d+)\s+(\w+)\((.*)\)\s+=\s+(-?\d+)')
unfinished = re.compile(r'^(\d+)\s+(\w+)\((.*) <unfinished \.\.\.>')
resumed = re.compile(r'^(\d+)\s+<\.\.\. (\w+) resumed>(.*)\)\s+=\s+(-?\d+)')
for line in open(trace, errors="replace"):
    m = unfinished.match(line)
    if m:
        pending[m.group(1)] = m.group(3)
        continue
    m = resumed.match(line)
    if m:
        name, args, rc = m.group(2), pending.pop(m.group(1), "") + m.group(3), m.group(4)
    else:
        m = done.match(line)
        if not m:
            continue
        name, args, rc = m.group(2), m.group(3), m.group(4)
    if rc != "0":
        continue
    # Paths come through the prefix's drive link or as a descriptor's path: both as plain paths.
    paths = [re.sub(r'^.*/dosdevices/z:', '', p) for p in re.findall(r'"([^"]*)"|<([^>]*)>', args) for p in p if p]
    kind = "fsync" if name in ("fsync", "fdatasync") else "rename" if name.startswith("rename") else "unlink"
    calls.append((kind, paths))

def first(pred, after=-1):
    return next((i for i, c in enumerate(calls) if i > after and pred(c)), None)

def check(name, source, folder, gone, claim=None):
    target = f"{folder}/{name}"
    r = first(lambda c: c[0] == "rename" and len(c[1]) == 2 and c[1][1] == target and "/.~qrvlnk-" in c[1][0])
    if r is None:
        return f"{name}: no rename of a temporary file onto {target}"
    temp = calls[r][1][0]
    f = max((i for i, c in enumerate(calls[:r]) if c == ("fsync", [temp])), default=None)
    d = first(lambda c: c == ("fsync", [folder]), r)
    g = first(gone, r)
    if f is None:
        return f"{name}: {temp} renamed without an fsync before"
    if d is None:
        return f"{name}: no fsync of {folder} after the rename"
    if g is None or g < d:
        return f"{name}: the source went before the copy's name was on disk (source at {g}, folder fsync at {d})"
    k = first(claim) if claim else None
    if claim and (k is None or not f < k < r):
        return f"{name}: the source was not claimed between the fsync of its copy and the copy's rename (claim at {k})"
    print(f"  {name}: fsync {f}" + (f" < claim {k}" if claim else "") + f" < rename {r} < fsync of the folder {d} < source gone {g}")
    return None

errors = []
for i in range(1, 6):
    src = f"{ws}/send/x_C1_{i}.dat"
    errors.append(check(f"x_C1_{i}.dat", src, f"{ws}/data/P1", lambda c, s=src: c == ("unlink", [s])))
for i in range(1, 6):
    src, backup = f"{ws}/data/Q900/d{i}.dat", f"{ws}/data/Q900/Backup/d{i}.dat"
    claims = f"{ws}/data/Q900/Backup/.~qrvlnk-claims-"
    errors.append(check(f"d{i}.dat", src, f"{ws}/receive",
                        lambda c, b=backup: c[0] == "rename" and c[1][1:] == [b] and c[1][0].startswith(claims),
                        lambda c, s=src: c[0] == "rename" and c[1][:1] == [s] and c[1][1].startswith(claims)))
errors = [e for e in errors if e]
for e in errors:
    print("durability: " + e, file=sys.stderr)
sys.exit(1 if errors else 0)
PY
echo "durability ($arch): each copy flushed before its rename, each rename flushed before its source went"
