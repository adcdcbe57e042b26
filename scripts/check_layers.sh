#!/usr/bin/env bash
# Fails when a source file includes a header that its folder may not know. The layers of src/, lowest first:
#   framework <- settings <- engine <- run, setup <- plugin
# run and setup stand side by side and know nothing of each other. The folders beside src/ are allowed the
# layers that README's layout names for them; a test folder knows the layer it tests and those below it,
# and the shared test toolbox (tests/support). Includes without a folder are a folder's own headers.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"

# The include prefixes a layer and everything below it may use.
upto() {
  case "$1" in
    framework) echo "framework/" ;;
    settings) echo "$(upto framework) settings/" ;;
    engine) echo "$(upto settings) engine/" ;;
    run) echo "$(upto engine) run/" ;;
    setup) echo "$(upto settings) setup/" ;;
    plugin) echo "$(upto run) setup/ plugin/" ;;
  esac
}

# The include prefixes a folder may use; empty for a folder that has no place in the layout.
allowed() {
  case "$1" in
    src/*) upto "${1#src/}" ;;
    check) upto engine ;;
    host) echo "plugin/HostTitle.h" ;;
    bench) upto plugin ;;
    tests | tests/support | tests/record/writer) echo "$(upto plugin) support/" ;;
    tests/settings) echo "$(upto settings) support/" ;;
    tests/engines | tests/reliability | tests/check | tests/hostile) echo "$(upto engine) support/" ;;
    tests/record | tests/worker | tests/progress | tests/tasklist) echo "$(upto run) support/" ;;
    tests/setup) echo "$(upto setup) support/" ;;
    tests/plugin | tests/rundlg | tests/host) echo "$(upto plugin) support/" ;;
    tests/port/*) echo "-" ;;
  esac
}

bad=0
while IFS= read -r file; do
  folder="$(dirname "$file")"
  prefixes="$(allowed "$folder")"
  if [ -z "$prefixes" ]; then
    echo "$file: folder $folder has no place in the layout" >&2
    bad=1
    continue
  fi
  while IFS= read -r used; do
    ok=0
    for prefix in $prefixes; do
      case "$used" in "$prefix"*) ok=1 ;; esac
    done
    if [ "$ok" -eq 0 ]; then
      echo "$file includes $used, which $folder may not know" >&2
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\/[^"]*\)".*/\1/p' "$file")
done < <(find src check host bench tests -name '*.h' -o -name '*.cpp' | sort)
[ "$bad" -eq 0 ] && echo "layers: every include points down"
exit "$bad"
