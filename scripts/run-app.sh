#!/usr/bin/env bash
# Builds Orvanel (installing what it needs) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh app
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORVANEL_TESTS=OFF -DORVANEL_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target orvanel orvanel-batch
exec build/app/orvanel
