#!/usr/bin/env bash
# Builds the benchmarks (bench preset, optimised) and measures the digest
# engine against OpenSSL's MD5, the cost of one keystroke at several text
# sizes, and the text conversion under a Latin-1 locale (compiled into the
# build tree). Prints the medians of the repetitions and the throughput ratios.
# Usage: scripts/bench-digest.sh [REPETITIONS]   (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."

repetitions=${1:-5}
cmake --preset bench >/dev/null
cmake --build --preset bench --target digest_bench
export LOCPATH=$PWD/build/bench/test-locales
scripts/make-test-locales.sh "$LOCPATH"
# Of the aggregates over the repetitions, only the medians are shown.
build/bench/bench/digest_bench --benchmark_repetitions="$repetitions" \
  --benchmark_report_aggregates_only=true | grep -vE '_(mean|stddev|cv) '
