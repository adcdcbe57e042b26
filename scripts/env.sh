# Sourced by the other scripts: the Wine environment every run uses.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Code page 936 (GBK) for every ...A call; Wine does not need the glibc locale to exist.
export LC_ALL=zh_CN.UTF-8
export LANG=zh_CN.UTF-8
