#!/usr/bin/env bash
# Makes the release zips from both builds (scripts/make_zip.sh) and checks every entry's bytes: name in
# GBK without the UTF-8 flag, "made by" MS-DOS, and for a name that is not ASCII the Unicode Path extra
# field (0x7075: version 1, CRC-32 of the stored name, the UTF-8 name) in the local and central header;
# the files it must hold, with the trial host only in 试用\ and the samples under names no run reads;
# then lists each zip with 7-Zip and unzip, which must show the Chinese name. Last, a zip made with a
# support contact must carry it in the guide and INSTALL.txt.
# Usage: scripts/check_zip.sh   (after scripts/build.sh all)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
status=0
for arch in i686 x86_64; do
  zip=$(bash scripts/make_zip.sh "$arch")
  ok=1
  python3 - "$zip" <<'PY' || ok=0
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
errors = []

def unicode_path(extra):
    """The version, CRC and name of the 0x7075 field, or None."""
    pos = 0
    while pos + 4 <= len(extra):
        kind, size = struct.unpack_from("<HH", extra, pos)
        if kind == 0x7075:
            version, crc = struct.unpack_from("<BI", extra, pos + 4)
            return version, crc, extra[pos + 9:pos + 4 + size]
        pos += 4 + size
    return None

end = data.rfind(b"PK\x05\x06")
count, _, start = struct.unpack_from("<HII", data, end + 10)
pos = start
names = []
for _ in range(count):
    made_by, _, flags = struct.unpack_from("<HHH", data, pos + 4)
    name_len, extra_len, comment_len = struct.unpack_from("<HHH", data, pos + 28)
    local = struct.unpack_from("<I", data, pos + 42)[0]
    name = data[pos + 46:pos + 46 + name_len]
    central_extra = data[pos + 46 + name_len:pos + 46 + name_len + extra_len]
    local_name_len, local_extra_len = struct.unpack_from("<HH", data, local + 26)
    local_name = data[local + 30:local + 30 + local_name_len]
    local_extra = data[local + 30 + local_name_len:local + 30 + local_name_len + local_extra_len]
    pos += 46 + name_len + extra_len + comment_len
    text = name.decode("gbk")
    names.append(text)
    if made_by >> 8 != 0:
        errors.append(f"{text}: made by system {made_by >> 8}, expected 0 (MS-DOS)")
    if flags & 0x800:
        errors.append(f"{text}: the UTF-8 flag is set")
    if local_name != name:
        errors.append(f"{text}: the local header names it {local_name!r}")
    if name.isascii():
        continue
    expected = (1, zlib.crc32(name), text.encode("utf-8"))
    for where, extra in (("central", central_extra), ("local", local_extra)):
        if unicode_path(extra) != expected:
            errors.append(f"{text}: {where} Unicode Path field {unicode_path(extra)}, expected {expected}")
top = names[0].split("/")[0] + "/"
expected = {"QRVLNK.dll", "qrvcheck.exe", "INSTALL.txt", "QRVLNK使用说明.html", "试用/qrvhub.exe", "试用/QRVLNK.dll",
            "samples/OrgMap.示例.ini", "samples/TaskDefine.示例.ini"}
held = {n[len(top):] for n in names if n.startswith(top)}
if held != expected:
    errors.append(f"holds {sorted(held)}, expected {sorted(expected)}")
for e in errors:
    print(f"{sys.argv[1]}: {e}", file=sys.stderr)
sys.exit(1 if errors else 0)
PY
  for lister in "7zz l" "unzip -l"; do
    listing=$(LC_ALL=C.UTF-8 $lister "$zip")
    if ! grep -q "/QRVLNK使用说明\.html$" <<<"$listing"; then
      echo "$zip: '$lister' does not list QRVLNK使用说明.html" >&2
      ok=0
    fi
  done
  if [ $ok = 1 ]; then
    echo "$zip: GBK names, made by MS-DOS, Unicode Path fields, the files in place; 7-Zip and unzip list QRVLNK使用说明.html"
  else
    status=1
  fi
done
# The distributor's contact, in a zip made aside.
aside=$(mktemp -d)
trap 'rm -rf "$aside"' EXIT
printf '# a comment\n技术支持 王工 021-87654321\n' > "$aside/contact.txt"
zip=$(QRVLNK_SUPPORT_CONTACT="$aside/contact.txt" bash scripts/make_zip.sh i686 "$aside")
python3 - "$zip" <<'PY' || status=1
import sys, zipfile
texts = {}
for info in zipfile.ZipFile(sys.argv[1]).infolist():
    try:  # Python before 3.12 reads an unflagged name as code page 437, later ones the 0x7075 field
        name = info.filename.encode("cp437").decode("gbk")
    except UnicodeEncodeError:
        name = info.filename
    if name.endswith(("/INSTALL.txt", ".html")):
        data = zipfile.ZipFile(sys.argv[1]).read(info)
        texts[name.split("/")[-1]] = data.decode("gbk" if name.endswith(".txt") else "utf-8")
bad = [n for n in ("INSTALL.txt", "QRVLNK使用说明.html")
       if "技术支持 王工 021-87654321" not in texts[n] or "由经销商填写：联系人" in texts[n]]
for n in bad:
    print(f"{sys.argv[1]}: {n} does not carry the support contact in place of the placeholder", file=sys.stderr)
sys.exit(1 if bad else 0)
PY
[ $status = 1 ] || echo "the support contact replaces the placeholder in INSTALL.txt and the guide"
exit $status
