#!/usr/bin/env bash
# Installs from Debian's packages whatever the build, the tests and the program need and
# the machine lacks. Quick when everything is there: it asks dpkg first and apt only when needed.
set -euo pipefail

packages=(
  cmake g++ libgtest-dev libbenchmark-dev
  qt6-base-dev qt6-translations-l10n
  clang libclang-rt-14-dev libshp-dev
  python3 python3-dbf python3-dbfread
  xvfb xauth imagemagick fonts-dejavu-core
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "These Debian packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
