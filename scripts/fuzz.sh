#!/usr/bin/env bash
# Builds the fuzz targets of the plain text logic natively with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each on its committed seeds for a bounded number of inputs.
# Usage: scripts/fuzz.sh [runs per target]   (default 100000)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
runs="${1:-100000}"
out="build/fuzz"
mkdir -p "$out"
flags=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -Isrc -Ifuzz)
declare -A sources=(
  [Gbk]="src/framework/Gbk.cpp"
  [ChildName]="src/framework/ChildName.cpp src/framework/Gbk.cpp"
  [ClientCode]="src/engine/ClientCode.cpp src/framework/Gbk.cpp"
  [TempSql]="src/settings/TempSql.cpp"
  [NameList]="src/settings/NameList.cpp"
)
status=0
for target in Gbk ChildName ClientCode TempSql NameList; do
  # shellcheck disable=SC2086
  clang++ "${flags[@]}" "fuzz/${target}Fuzz.cpp" ${sources[$target]} -o "$out/$target"
  work="$out/$target.corpus"
  rm -rf "$work" && mkdir -p "$work" && cp "fuzz/corpus/$target/"* "$work/"
  if log=$("$out/$target" -runs="$runs" -max_len=512 -seed=1 "$work" 2>&1); then
    echo "fuzz $target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' <<<"$log")"
  else
    echo "fuzz $target: FAILED" >&2
    tail -n 30 <<<"$log" >&2
    status=1
  fi
done
exit $status
