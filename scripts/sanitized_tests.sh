#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer (Debug, in
# build-asan: CMakePresets.json's "asan") and runs them with CTest; a fault either finds
# fails its test. Arguments go to CMake's configure (CI: -DVYHOD_TARNI_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset asan "$@" >/dev/null
cmake --build --preset asan
ctest --preset asan
