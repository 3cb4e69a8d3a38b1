#!/usr/bin/env bash
# Checks that every C and C++ file of the tree is laid out as .clang-format says (with
# clang-format 14, Debian 12's): prints each place that differs and fails on any.
# To mend a file: clang-format -i FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.c' '*.cpp' '*.h' | sort -u)
clang-format --dry-run --Werror "${files[@]}"
echo "formatting: all ${#files[@]} C and C++ files as .clang-format says"
