#!/usr/bin/env bash
# CI's fuzz step: builds both fuzz targets (build_fuzz.sh) and runs them side by side, each
# for SECONDS over its corpus (run_fuzz.sh); fails when either finds a fault, and shows the
# end of each run's log. The long campaign stays a manual command (README, "Fuzzing").
# Usage: check_fuzz.sh SOURCE_DIR BUILD_DIR SECONDS [CMake options of the fuzz build...]
set -euo pipefail
source_dir=$1
build_dir=$2
seconds=$3
shift 3
here=$(dirname "$0")
"$here/build_fuzz.sh" "$source_dir" "$build_dir" "$@"

declare -A runs
for target in dbf_file_fuzz dbf_dataset_fuzz; do
  "$here/run_fuzz.sh" "$source_dir" "$build_dir" "$target" "$seconds" >"$build_dir/$target.log" 2>&1 &
  runs[$target]=$!
done
status=0
for target in dbf_file_fuzz dbf_dataset_fuzz; do
  if wait "${runs[$target]}"; then
    echo "$target: no fault in $seconds seconds ($(grep -o 'Done [0-9]* runs' "$build_dir/$target.log" | tail -1))"
  else
    echo "$target FAILED; the end of its log ($build_dir/$target.log):"
    tail -n 60 "$build_dir/$target.log"
    status=1
  fi
done
exit $status
