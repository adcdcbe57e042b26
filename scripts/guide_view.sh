#!/usr/bin/env bash
# Shows the guide's HTML page as an office screen of 1366x768 shows it: headless Chromium takes one
# picture of the window at each section named (by its heading's anchor), or at every section of the
# second and third level. Installs Chromium when it is missing (it is needed for nothing else).
# Usage: scripts/guide_view.sh OUTDIR [ANCHOR...]   (pictures OUTDIR/NN-ANCHOR.png, the page OUTDIR/guide.html)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:?usage: guide_view.sh OUTDIR [ANCHOR...]}"
shift
if ! command -v chromium >/dev/null; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends chromium >/dev/null
fi
mkdir -p "$out"
/usr/bin/python3 "$ROOT/scripts/guide_html.py" "$ROOT/docs/使用说明.md" "$out/guide.html"
anchors=("$@")
if [ ${#anchors[@]} -eq 0 ]; then
  mapfile -t anchors < <(grep -o '<h[23] id="[^"]*"' "$out/guide.html" | sed 's/.*id="\([^"]*\)"/\1/')
fi
n=0
for anchor in "${anchors[@]}"; do
  n=$((n + 1))
  # Chromium runs as root only without its sandbox; the page is our own file.
  # Headless Chromium paints nothing once a page is scrolled; what comes before the heading is taken
  # away instead, which leaves the page as wide and laid out as a browser scrolled to it shows it.
  sed "s|</body>|<script>for (const h = document.getElementById('$anchor'); h.previousElementSibling;) h.previousElementSibling.remove();</script></body>|" \
    "$out/guide.html" >"$out/at.html"
  timeout 60 chromium --headless=new --no-sandbox --disable-gpu --hide-scrollbars --window-size=1366,768 \
    --virtual-time-budget=5000 --screenshot="$out/$(printf %02d $n)-$anchor.png" "file://$(realpath "$out")/at.html" \
    >/dev/null 2>&1
done
rm -f "$out/at.html"
echo "$n pictures in $out"
