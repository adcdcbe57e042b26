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
