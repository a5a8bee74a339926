#!/usr/bin/env bash
# Builds the workbook-import fuzz target with clang, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs it for a bounded
# time from the committed seed corpus. Any crash, leak, hang or sanitizer
# report fails the script. FUZZ_SECONDS overrides the default minute.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${FUZZ_SECONDS:-60}
build=$root/build-fuzz

CXX=clang++-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKELMORA_BUILD_TESTS=OFF -DKELMORA_BUILD_BENCH=OFF -DKELMORA_BUILD_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target kelmora_fuzz_import

# The fuzzer adds what it finds to the first corpus folder: a scratch copy,
# so the committed seeds stay as they are.
corpus=$build/corpus
artifacts=$build/artifacts
rm -rf "$corpus" "$artifacts"
mkdir -p "$corpus" "$artifacts"
cp fuzz/data/corpus/* "$corpus"/

# The target writes its scratch file under TMPDIR.
export TMPDIR=$build/tmp
mkdir -p "$TMPDIR"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
"$build"/fuzz/data/kelmora_fuzz_import "$corpus" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
  -dict=fuzz/data/xlsx.dict -artifact_prefix="$artifacts"/ -print_final_stats=1 >"$build"/fuzz.log 2>&1 \
  && status=0 || status=$?
if [ "$status" -ne 0 ]; then
  tail -n 100 "$build"/fuzz.log >&2
  echo "fuzzing failed; inputs that show the fault are in $artifacts" >&2
  exit "$status"
fi
grep -E '^(Done|stat::)' "$build"/fuzz.log
