#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own. The layers, lowest first:
#   framework <- settings <- engine <- run, setup <- plugin
# run and setup stand side by side and know nothing of each other.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT/src"
rank() {
  case "$1" in
    framework) echo 0 ;; settings) echo 1 ;; engine) echo 2 ;; run|setup) echo 3 ;; plugin) echo 4 ;; *) echo -1 ;;
  esac
}
bad=0
for file in */*.h */*.cpp; do
  layer="${file%%/*}"
  own=$(rank "$layer")
  if [ "$own" -lt 0 ]; then
    echo "$file: folder $layer is no layer" >&2
    bad=1
    continue
  fi
  while IFS= read -r used; do
    [ -d "$used" ] || continue
    other=$(rank "$used")
    if [ "$other" -gt "$own" ] || { [ "$other" -eq "$own" ] && [ "$used" != "$layer" ]; }; then
      echo "$file includes a header of $used, a layer above or beside $layer" >&2
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*/\1/p' "$file")
done
[ "$bad" -eq 0 ] && echo "layers: every include points down"
exit "$bad"
