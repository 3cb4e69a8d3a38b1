#!/usr/bin/env bash
# Builds the table-file fuzz target with clang++ (libFuzzer, ASan, UBSan) into the build
# folder and runs it over the starting corpus for a bounded time.
# Usage: run_fuzz.sh SOURCE_DIR BUILD_DIR [SECONDS]
set -euo pipefail
source_dir=$1
build_dir=$2
seconds=${3:-20}

units=(DbfCodePage DbfErrors DbfFieldTypes DbfFileIO DbfPaths DbfValueText
       UDbfFieldDef UDbfFile UDbfFileValues UDbfPagedFile)
sources=()
for unit in "${units[@]}"; do sources+=("$source_dir/dbf_units/$unit.cpp"); done

mkdir -p "$build_dir/corpus" "$build_dir/artifacts"
clang++ -std=c++20 -g -O1 -Wall -Wextra \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I "$source_dir/dbf_units" \
  "${sources[@]}" "$source_dir/tests/fuzz/dbf_file_fuzz.cpp" \
  -o "$build_dir/dbf_file_fuzz"

# New inputs go to the build folder's corpus; the committed seeds stay as they are.
"$build_dir/dbf_file_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$build_dir/artifacts/" "$build_dir/corpus" "$source_dir/tests/fuzz/corpus"
