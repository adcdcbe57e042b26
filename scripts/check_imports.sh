#!/usr/bin/env bash
# Checks that binaries load on the oldest Windows of their architecture: Windows XP (5.1) for i686,
# Windows XP x64 / Server 2003 (5.2) for x86_64. Fails, naming the binary, when its PE header claims
# another operating-system or subsystem version than that minimum, or when it imports a DLL or a
# function that scripts/allowed-imports.txt does not list, or one the list says needs a later Windows.
# Usage: scripts/check_imports.sh i686|x86_64 [--older-header] BINARY...
#   --older-header: a header may also claim an older version (the setup program's NSIS stub says 4.0).
#
# Adding an import: look the function up in Microsoft's documentation and add a line to
# scripts/allowed-imports.txt with its DLL, its name and the "Minimum supported client" given there.
# A function that needs a later Windows fails here whatever the list says.
set -euo pipefail
list="$(dirname "$0")/allowed-imports.txt"
arch=$1
shift
case "$arch" in
  i686) minimum=XP ;;
  x86_64) minimum=2003 ;;
  *) echo "check_imports.sh: unknown architecture $arch" >&2; exit 2 ;;
esac
older_header=0
if [ "${1:-}" = --older-header ]; then
  older_header=1
  shift
fi
status=0
for binary in "$@"; do
  "${arch}-w64-mingw32-objdump" -p "$binary" | awk -v list="$list" -v minimum="$minimum" -v older_header=$older_header \
      -v name="$(basename "$binary") ($arch)" '
    BEGIN {
      # The "Minimum supported client" names the list uses, as version numbers.
      split("2000 5.0 XP 5.1 2003 5.2 Vista 6.0 7 6.1 8 6.2 8.1 6.3 10 10.0", pairs, " ")
      for (i = 1; i in pairs; i += 2) version[pairs[i]] = pairs[i + 1]
      while ((getline line < list) > 0) {
        if (line ~ /^[ \t]*(#|$)/) continue
        split(line, f, /[ \t]+/)
        if (!(f[3] in version)) { print list ": unknown Windows version in: " line; failed = 1; continue }
        dlls[f[1]] = 1
        needs[f[1] " " f[2]] = f[3]
      }
      wanted = version[minimum]
    }
    function older(a, b,   x, y) {   # is version a older than version b?
      split(a, x, "."); split(b, y, ".")
      return x[1] + 0 < y[1] + 0 || (x[1] + 0 == y[1] + 0 && x[2] + 0 < y[2] + 0)
    }
    /^Major(OSystem|Subsystem)Version/ { major[$1 ~ /OSystem/ ? "operating-system" : "subsystem"] = $2 }
    /^Minor(OSystem|Subsystem)Version/ { minor[$1 ~ /OSystem/ ? "operating-system" : "subsystem"] = $2 }
    /^\tDLL Name:/ { dll = tolower($3); next }
    /^ [0-9a-f]+\t/ { dll = "" }
    dll != "" && /^\t[0-9a-f]+\t/ {
      fn = $NF
      if (!(dll in dlls)) {
        if (!(dll in reported)) print name " imports " dll ", which is not a Windows system DLL on the list"
        reported[dll] = 1
        failed = 1
      } else if (!((dll " " fn) in needs)) {
        print name " imports " fn " from " dll ", which " list " does not list"
        failed = 1
      } else if (older(wanted, version[needs[dll " " fn]])) {
        print name " imports " fn " from " dll ", which needs Windows " needs[dll " " fn] "; the minimum is Windows " minimum
        failed = 1
      }
    }
    END {
      for (kind in major)
        if (major[kind] "." minor[kind] != wanted && !(older_header && older(major[kind] "." minor[kind], wanted))) {
          print name " claims " kind " version " major[kind] "." minor[kind] " instead of " wanted
          failed = 1
        }
      if (!("operating-system" in major) || !("subsystem" in major)) { print name ": no PE header versions"; failed = 1 }
      exit failed
    }' >&2 || status=1
done
exit $status
