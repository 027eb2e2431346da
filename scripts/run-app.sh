#!/usr/bin/env bash
# Builds Orvanel (installing what it needs) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target orvanel orvanel-batch
exec build/app/orvanel
