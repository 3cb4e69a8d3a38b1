#!/usr/bin/env bash
# Builds the Debian package of the program and its tools: a Release build without tests
# in BUILD_DIR (build-deb when not given), then `cpack -G DEB`, which leaves
# vyhod-tarni_VERSION_ARCH.deb in BUILD_DIR.
#
# Usage: scripts/build_package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-deb}
scripts/install_packages.sh package
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build_dir" -j2
cd "$build_dir"
cpack -G DEB
