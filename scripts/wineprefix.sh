#!/usr/bin/env bash
# Creates the project's Wine prefix (64-bit, runs i686 and x86_64 programs) with a CJK font for "宋体".
set -euo pipefail
source "$(dirname "$0")/env.sh"

# Caption buttons draw their glyphs with Marlett (fonts-wine). This Wine looks for its own fonts in a
# folder it cannot open, so the font goes into the prefix's Fonts folder, which it does read.
install_marlett() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -d "$fonts" ] && [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  fi
}

if [ -f "$WINEPREFIX/.qrvlnk-ready" ]; then
  install_marlett
  exit 0
fi
mkdir -p "$WINEPREFIX"
echo "Creating Wine prefix $WINEPREFIX ..."
timeout 300 wineboot -i >/dev/null 2>&1 || true
timeout 120 wineserver -w || true
# Windows live in one Wine desktop: captions are drawn, and closing a window does not wait for a
# window manager that Xvfb does not have.
# The dialogs' font maps to an installed outline CJK font, drawn smoothed, so 9-point Chinese stays legible.
import_reg <<'EOF' || true
[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"宋体"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"
"NSimSun"="WenQuanYi Micro Hei"
"MS Shell Dlg"="WenQuanYi Micro Hei"
"Tahoma"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"FontSmoothing"="2"
"FontSmoothingType"=dword:00000002
"FontSmoothingGradient"=dword:00000001

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"
EOF
timeout 120 wineserver -w || true
install_marlett
touch "$WINEPREFIX/.qrvlnk-ready"
