#!/usr/bin/env bash
# Installs what is missing, builds kelmora and runs every test: once as a
# plain build, once under AddressSanitizer and UndefinedBehaviorSanitizer, and
# the fuzz targets for a bounded time. Warnings are errors here; the Release
# build without tests is the one the README's install makes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

scripts/install-deps.sh --test

echo "== plain build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELMORA_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== the install's build: Release, without tests and benchmarks"
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DKELMORA_BUILD_TESTS=OFF -DKELMORA_BUILD_BENCH=OFF \
  -DKELMORA_WERROR=ON >/dev/null
cmake --build build-release -j"$jobs"

echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKELMORA_SANITIZE=ON -DKELMORA_BUILD_BENCH=OFF \
  -DKELMORA_WERROR=ON >/dev/null
cmake --build build-sanitize -j"$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS

if [ -x scripts/fuzz.sh ]; then
  echo "== fuzzing"
  scripts/fuzz.sh
fi
