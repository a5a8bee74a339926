#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a bounded time from its
# committed seed corpus, side by side:
#   kelmora_fuzz_import  workbook packages through the reader and the import;
#   kelmora_fuzz_report  client data through the scoring run into a real PDF.
# Any crash, leak, hang or sanitizer report fails the script. FUZZ_SECONDS
# overrides the default minute.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${FUZZ_SECONDS:-60}
build=$root/build-fuzz

CXX=clang++-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKELMORA_BUILD_TESTS=OFF -DKELMORA_BUILD_BENCH=OFF -DKELMORA_BUILD_FUZZ=ON -DKELMORA_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target kelmora_fuzz_import kelmora_fuzz_report

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Fontconfig keeps what it caches for the whole process.
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

# fuzz <name> <target> <seeds> <dictionary> <max input length>
fuzz() {
  local name=$1 target=$2 seeds=$3 dictionary=$4 max_len=$5
  local work=$build/$name
  # The fuzzer adds what it finds to the first corpus folder: a scratch copy,
  # so the committed seeds stay as they are. Absolute paths: the report
  # target works in a scratch folder of its own.
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/artifacts" "$work/tmp"
  cp "$seeds"/* "$work/corpus"/
  TMPDIR=$work/tmp "$target" "$work/corpus" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
    -dict="$dictionary" -artifact_prefix="$work/artifacts/" -print_final_stats=1 >"$work/fuzz.log" 2>&1
}

fuzz import "$build"/fuzz/data/kelmora_fuzz_import "$root"/fuzz/data/corpus "$root"/fuzz/data/xlsx.dict 16384 &
import=$!
fuzz report "$build"/fuzz/report/kelmora_fuzz_report "$root"/fuzz/report/corpus "$root"/fuzz/report/report.dict 4096 &
report=$!

status=0
for name in import report; do
  pid=${!name}
  if wait "$pid"; then
    echo "== fuzzing $name"
    grep -aE '^(Done|stat::)' "$build/$name/fuzz.log"
  else
    status=1
    tail -n 100 "$build/$name/fuzz.log" >&2
    echo "fuzzing $name failed; inputs that show the fault are in $build/$name/artifacts" >&2
  fi
done
exit "$status"
