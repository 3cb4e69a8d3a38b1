#!/bin/sh
# Runs a benchmark program of an existing build and prints its summary. It builds nothing.
# Every benchmark runs five times in random order, so that a baseline and the run
# compared with it share the machine's conditions; the summary uses the medians.
#   dbf_bench (the default): per table size and operation the rate through TDbf, the raw
#     one-record pread/pwrite rate, their ratio, the open and moveLast times, the peak
#     memory of a full scan (each size in a fresh process), and the scan and dump of a
#     table held in memory beside plain loops.
#   dump_bench: dbftool dump beside shapelib's dump and a one-pread-per-record C dump.
# Further arguments go to the program (e.g. --sizes=10000,100000 or --records=200000).
#
# Usage: bench/run_bench.sh BUILD_FOLDER [dbf_bench|dump_bench] [options]
set -eu

if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_FOLDER [dbf_bench|dump_bench] [options]" >&2
  exit 2
fi
build="$1"
shift
name=dbf_bench
case "${1:-}" in
  dbf_bench|dump_bench) name="$1"; shift ;;
esac
program="$build/bench/$name"
if [ ! -x "$program" ]; then
  echo "$0: $program is missing; build the project in that folder first" >&2
  exit 1
fi

exec "$program" --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true "$@"
