#!/usr/bin/env bash
# Builds the fuzz targets (targets/CMakeLists.txt) with clang++ into BUILD_DIR/fuzz-build.
# Usage: build_fuzz.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1
build_dir=$2/fuzz-build
cmake -S "$source_dir/tests/fuzz/targets" -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=None >/dev/null
cmake --build "$build_dir" -j2
