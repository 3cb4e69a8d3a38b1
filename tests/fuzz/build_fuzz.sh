#!/usr/bin/env bash
# Builds the fuzz targets (targets/CMakeLists.txt) with clang++ into BUILD_DIR/fuzz-build.
# Usage: build_fuzz.sh SOURCE_DIR BUILD_DIR [CMake options...]   (CI: -DCMAKE_CXX_FLAGS=-Werror)
set -euo pipefail
source_dir=$1
build_dir=$2/fuzz-build
shift 2
cmake -S "$source_dir/tests/fuzz/targets" -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=None "$@" >/dev/null
cmake --build "$build_dir" -j2
