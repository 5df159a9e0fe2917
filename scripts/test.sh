#!/usr/bin/env bash
# Sets up and runs every test: installs what is missing, then builds and runs
# the unit and GUI tests, the unit tests under ASan+UBSan, the fuzzer, and the
# Windows build's tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh test

echo "== Linux build: unit and GUI tests"
cmake --workflow --preset dev

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --workflow --preset asan-ubsan
