#!/usr/bin/env bash
# Checks that every C and C++ source file of the tree, and every Python test of tests/, is
# listed in a CMakeLists.txt: a file left out of the lists (a new test above all) would
# otherwise stay out of the build without a word. A file counts as listed when the
# CMakeLists.txt of its folder, or of a folder above it, names it by its path from that
# folder (`MemoryFiles.cpp`, `support/BenchTables.cpp`, also after
# `${CMAKE_CURRENT_SOURCE_DIR}/`), or when any CMakeLists.txt names it by its path from the
# top after `${PROJECT_SOURCE_DIR}/` or `${source_root}/`. Source lists are never globbed:
# a file(GLOB) in a CMakeLists.txt fails the check too.
# Usage: scripts/check_source_lists.sh   (from anywhere; reads the files git tracks or would)
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.c' '*.cpp' 'tests/*_test.py' | sort -u)
mapfile -t lists < <(git ls-files --cached --others --exclude-standard -- 'CMakeLists.txt' '*/CMakeLists.txt' | sort -u)

regex_of() { printf '%s' "$1" | sed 's/[][\.*^$+?(){}|/]/\\&/g'; }

# Whether `list` names `path` as a whole word, alone or after one of the given prefixes.
names() {
  local list=$1 path=$2 prefixes=$3
  [ -f "$list" ] && grep -qE "(^|[[:space:](\"])(${prefixes})$(regex_of "$path")([[:space:])\"]|$)" "$list"
}

listed() {
  local file=$1 folder
  folder=$(dirname "$file")
  while :; do
    local list=$folder/CMakeLists.txt rel=${file#"$folder"/}
    [ "$folder" = . ] && list=CMakeLists.txt rel=$file
    names "$list" "$rel" '\$\{CMAKE_CURRENT_SOURCE_DIR\}/|' && return 0
    [ "$folder" = . ] && break
    folder=$(dirname "$folder")
  done
  for list in "${lists[@]}"; do
    names "$list" "$file" '\$\{PROJECT_SOURCE_DIR\}/|\$\{source_root\}/' && return 0
  done
  return 1
}

status=0
for file in "${files[@]}"; do
  if ! listed "$file"; then
    echo "not listed in any CMakeLists.txt: $file" >&2
    status=1
  fi
done
for list in "${lists[@]}"; do
  if grep -nE 'file\((GLOB|GLOB_RECURSE)\b' "$list" >&2; then
    echo "^ a globbed file list in $list: list the files" >&2
    status=1
  fi
done
[ $status -eq 0 ] && echo "source lists: all ${#files[@]} source files are listed"
exit $status
