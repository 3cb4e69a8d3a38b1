#!/bin/sh
# Runs the table benchmarks of an existing build and prints their summary: per table size
# and operation the rate through TDbf, the raw one-record pread/pwrite rate, their ratio,
# the open and moveLast times, and the peak memory of a full scan (each size in a fresh
# process). It builds nothing. Every benchmark runs five times in random order, so that a
# raw baseline and its dataset run share the machine's conditions; the summary uses the
# medians. Further arguments go to the benchmark program (e.g. --sizes=10000,100000).
#
# Usage: bench/run_bench.sh BUILD_FOLDER [dbf_bench options]
set -eu

if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_FOLDER [dbf_bench options]" >&2
  exit 2
fi
program="$1/bench/dbf_bench"
shift
if [ ! -x "$program" ]; then
  echo "$0: $program is missing; build the project in that folder first" >&2
  exit 1
fi

exec "$program" --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true "$@"
