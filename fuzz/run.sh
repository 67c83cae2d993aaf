#!/usr/bin/env bash
# Runs each fuzz target for SECONDS on a scratch copy of its corpus, then
# replays the checked-in corpus once. An input that breaks something is
# kept as BUILD/fuzz/<target>-crash-*; add it to fuzz/corpus/<target>/ once
# the fault is mended.
#   usage: fuzz/run.sh BUILD SECONDS
set -euo pipefail
build=$(realpath "$1")
seconds=$2
cd "$(dirname "$0")"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The targets write a file per input; memory takes that best.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi

# Runs a target; on failure shows the end of what it said.
run() {
  local target=$1
  shift
  local log="$work/$target.log"
  if ! "$build/fuzz/$target" "$@" > "$log" 2>&1; then
    tail -n 60 "$log"
    echo "== $target: FAILED"
    exit 1
  fi
}

for target in fuzz_load fuzz_moves fuzz_drag fuzz_lsp; do
  mkdir "$work/$target"
  cp corpus/$target/* "$work/$target/"
  run $target -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$build/fuzz/$target-" "$work/$target"
  echo "== $target: ${seconds}s, nothing found"
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' \
    "$work/$target.log"
  run $target corpus/$target/*
  echo "== $target: replayed $(ls corpus/$target | wc -l) inputs of fuzz/corpus/$target"
done
