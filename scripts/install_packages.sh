#!/usr/bin/env bash
# Installs from Debian's packages whatever a set of work needs and the machine lacks:
#   install_packages.sh run      building and running the program and its tools
#   install_packages.sh package  that, and what builds the Debian package
#   install_packages.sh test     both, and the tests, benchmarks, fuzz targets and their peers
# Quick when everything is there: it asks dpkg first and apt only when needed.
set -euo pipefail

run_packages=(
  g++ make cmake
  qt6-base-dev qt6-translations-l10n fonts-dejavu-core
  libxlsxwriter-dev libreadstat-dev
)
test_packages=(
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev libshp-dev
  python3 python3-dbf python3-dbfread python3-openpyxl pspp
  xvfb xauth imagemagick
  desktop-file-utils appstream
)
package_packages=(dpkg-dev file help2man)

case "${1:-}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}" "${package_packages[@]}") ;;
  package) packages=("${run_packages[@]}" "${package_packages[@]}") ;;
  *)
    echo "usage: $0 run|test|package" >&2
    exit 2
    ;;
esac

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
