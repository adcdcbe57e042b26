#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need. Idempotent; run as root.
set -euo pipefail

packages=(
  cmake make git
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  googletest clang libclang-rt-dev
  wine wine32:i386 wine64
  xvfb xauth xdotool x11-utils imagemagick fonts-wqy-microhei fonts-wine
  zip unzip 7zip nsis python3 python3-markdown locales strace
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# Wine takes its code page from LC_ALL; a generated locale keeps the shells quiet about it.
ensure_locale() {
  if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  fi
}
if [ ${#missing[@]} -eq 0 ]; then
  ensure_locale
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
ensure_locale
