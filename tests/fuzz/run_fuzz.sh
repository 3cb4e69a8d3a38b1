#!/usr/bin/env bash
# Runs a fuzz target that build_fuzz.sh built, over its starting corpus, for a bounded time.
# New inputs go to the build folder's corpus; the committed seeds stay as they are.
# Usage: run_fuzz.sh SOURCE_DIR BUILD_DIR TARGET [SECONDS [libFuzzer options...]]
#   TARGET: dbf_file_fuzz (seeds in corpus/) or dbf_dataset_fuzz (seeds in dataset_corpus/)
set -euo pipefail
source_dir=$1
build_dir=$2
target=$3
seconds=${4:-20}
shift $(($# < 4 ? $# : 4))

case $target in
  dbf_file_fuzz) seeds=$source_dir/tests/fuzz/corpus ;;
  dbf_dataset_fuzz) seeds=$source_dir/tests/fuzz/dataset_corpus ;;
  *) echo "unknown fuzz target: $target" >&2; exit 2 ;;
esac
work=$build_dir/fuzz-runs/$target
mkdir -p "$work/corpus" "$work/artifacts"
"$build_dir/fuzz-build/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$work/artifacts/" "$@" "$work/corpus" "$seeds"
