#!/usr/bin/env bash
# Builds Orvanel and its tests with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan and runs the whole test suite there. Any sanitizer report stops
# the test that made it, and the script then fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs="${ORVANEL_JOBS:-2}"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVANEL_SANITIZE=ON -DORVANEL_TESTS=ON -DORVANEL_BENCH=OFF -DORVANEL_FUZZ=OFF >/dev/null
cmake --build build-asan -j"$jobs"

# Leaks inside the system's own libraries (Qt, fontconfig, Coin) are
# suppressed by scripts/lsan.supp; the project's code has no suppression.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-asan --output-on-failure -j"$jobs"
