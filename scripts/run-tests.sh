#!/usr/bin/env bash
# Builds Orvanel with its tests (installing what they need) and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORVANEL_WERROR=ON -DORVANEL_TESTS=ON -DORVANEL_BENCH=ON >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
