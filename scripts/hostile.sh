#!/usr/bin/env bash
# Generated hostile workspaces, each run through the real i686 QRVLNK.dll under Wine and checked
# against the laws (tests/hostile/Laws.h): conservation, routing, the plan, the record, the host,
# a run ended at a file call and made again, liveness.
# Usage: scripts/hostile.sh [--seeds N] [--first S] [--seed S] [--cuts N] [--real-time] [--timeout SECONDS] [--keep] [--show]
#   --seeds N    how many workspaces (default 30, with the regression seeds about three and a half minutes),
#                from seed --first S (default 1) on;
#                without --seeds, --first and --seed the seeds that once broke a law follow (REGRESSIONS)
#   --seed S     just the workspace of seed S, e.g. to reproduce a failure
#   --cuts N     how many runs of each seed are ended at a file call and made again (default 1, law 6)
#   --real-time  the plug-in's pauses as they are (by default they take a twentieth of their time)
#   --timeout S  how long a call may take before it counts as one that does not return (default 120)
#   --keep       leave a failing workspace on disk (below the Wine prefix's %TEMP%)
#   --show       print every seed's workspace, plan, runs and record, not only a failing one's
# Each failure prints its seed, the workspace, the plan, each run and the broken law; the last line is
# "N passed, M failed". Exit code 0 when none failed.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
source scripts/env.sh

# Seeds beyond the default range that once broke a law (README, "What it found").
REGRESSIONS=(94 118 121 213 238 422 472 551 608 877 963 986 1105 1392 1667 1814 1878 1964 7188 7414 9005 9369)

first=1
count=30
regressions=("${REGRESSIONS[@]}")
flags=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seeds) count=$2; regressions=(); shift 2 ;;
    --first) first=$2; regressions=(); shift 2 ;;
    --seed) first=$2; count=1; regressions=(); shift 2 ;;
    --timeout|--cuts) flags+=("$1" "$2"); shift 2 ;;
    --real-time|--keep|--show) flags+=("$1"); shift ;;
    *) echo "usage: scripts/hostile.sh [--seeds N] [--first S] [--seed S] [--cuts N] [--real-time] [--timeout SECONDS] [--keep] [--show]" >&2; exit 2 ;;
  esac
done

cmake --preset i686 >/dev/null
cmake --build --preset i686 --target qrvlnk_hostile >/dev/null

# A Wine started on another display keeps it; this one starts on the display of the run.
timeout 60 wineserver -w || timeout 60 wineserver -k 2>/dev/null || true

seeds=($(seq "$first" $((first + count - 1))) ${regressions[@]+"${regressions[@]}"})
passed=0
failed=0
next=0
output=$(mktemp)
trap 'rm -f "$output"' EXIT
# The seeds go to the program in lists of at most 500 (a command line has room for them). It goes on
# from the seed after the last one it reported when it ended early: a call that did not return ends it
# (status 3) after that seed's report; a crash ends it without one, and the seed it was at counts as failed.
while [ "$next" -lt "${#seeds[@]}" ]; do
  chunk=("${seeds[@]:next:500}")
  status=0
  on_display wine build/i686/bin/qrvlnk_hostile.exe --list "$(IFS=,; echo "${chunk[*]}")" ${flags[@]+"${flags[@]}"} \
    | tee "$output" || status=$?
  reported=$(grep -c '^seed [0-9]*: \(passed$\|FAILED\)' "$output" || true)
  passed=$((passed + $(grep -c '^seed [0-9]*: passed$' "$output" || true)))
  failed=$((failed + $(grep -c '^seed [0-9]*: FAILED' "$output" || true)))
  next=$((next + reported))
  if [ "$reported" -lt "${#chunk[@]}" ] && [ "$status" -ne 3 ]; then
    echo "seed ${seeds[next]}: FAILED (the program ended with status $status before it told)"
    failed=$((failed + 1))
    next=$((next + 1))
  fi
  timeout 60 wineserver -w || true
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
