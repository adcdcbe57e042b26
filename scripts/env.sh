# Sourced by the other scripts: the Wine environment every run uses.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Code page 936 (GBK) for every ...A call; Wine does not need the glibc locale to exist.
export LC_ALL=zh_CN.UTF-8
export LANG=zh_CN.UTF-8
# Runs a command on this display, or on a virtual one when there is none or under CI.
on_display() {
  if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then "$@"; else xvfb-run -a -s "-screen 0 1024x768x24" "$@"; fi
}
# Imports the registry lines on standard input (.reg syntax in UTF-8, without the header) with regedit.
# Text with Chinese reaches the registry only through a UTF-16 file; a backslash in a value is written
# doubled, as reg_text gives it.
import_reg() {
  local reg
  reg="$(mktemp "$WINEPREFIX/qrvlnk-XXXXXX.reg")"
  { printf '\xff\xfe'; { printf 'Windows Registry Editor Version 5.00\n\n'; cat; printf '\n'; } \
      | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } > "$reg"
  local status=0
  timeout 120 wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 || status=$?
  rm -f "$reg"
  return $status
}
# A value as .reg text: backslashes and quotes escaped.
reg_text() { local s=${1//\\/\\\\}; printf '%s' "${s//\"/\\\"}"; }
