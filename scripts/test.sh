#!/usr/bin/env bash
# Sets up and runs every test: installs what is missing, then builds and runs
# the Linux unit and GUI tests, the slow engine cases, the unit tests under
# ASan+UBSan, the fuzzer, the Windows build's tests under Wine, the headless
# demo and the package checks.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh test

echo "== Linux build: unit, GUI and packaging tests"
cmake --workflow --preset dev

echo "== Digest engine: largest accepted length, refusal after conversion"
build/dev/tests/unit/digest_engine_test --gtest_also_run_disabled_tests \
  --gtest_filter='*.DISABLED_*'
LOCPATH=build/dev/test-locales build/dev/tests/unit/ansi_text_posix_test \
  --gtest_also_run_disabled_tests --gtest_filter='*.DISABLED_*'

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --workflow --preset asan-ubsan

echo "== Fuzzing the digest engine against OpenSSL (about a minute)"
scripts/fuzz.sh

echo "== Windows build: unit and UI tests under Wine"
cmake --workflow --preset mingw

echo "== Headless demo"
scripts/demo.sh

echo "== Packages: .deb and Windows .zip, built and checked"
scripts/check-packages.sh
