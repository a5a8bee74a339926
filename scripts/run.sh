#!/usr/bin/env bash
# Installs what is missing, builds kelmora and starts it. The report
# "test.pdf" is written to the folder the program is started from: this
# checkout (where it is ignored by git).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELMORA_BUILD_TESTS=OFF -DKELMORA_BUILD_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target kelmora
exec build/app/kelmora "$@"
