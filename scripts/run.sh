#!/usr/bin/env bash
# Installs what is missing, builds kelmora and starts it. The report
# "test.pdf" is written to the folder the program is started from: this
# checkout (where it is ignored by git). The build has its own folder, so that
# it does not disturb the test build in build/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELMORA_BUILD_TESTS=OFF -DKELMORA_BUILD_BENCH=OFF >/dev/null
cmake --build build-run -j"$(nproc)" --target kelmora
exec build-run/app/kelmora "$@"
