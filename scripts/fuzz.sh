#!/usr/bin/env bash
# Builds the libFuzzer target (fuzz preset, clang) and fuzzes the digest
# engine against OpenSSL for about a minute. Exits non-zero on a finding; the
# input that caused it is kept in build/fuzz/findings.
# Usage: scripts/fuzz.sh [SECONDS]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target md5_fuzzer

corpus=build/fuzz/corpus
findings=build/fuzz/findings
mkdir -p "$corpus" "$findings"
build/fuzz/tests/fuzz/md5_fuzzer -max_total_time="$seconds" -max_len=4096 \
  -print_final_stats=1 -artifact_prefix="$findings/" "$corpus"
