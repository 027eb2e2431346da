#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each one from
# a copy of its seed corpus in fuzz/corpus/<target>/ (the repository is never
# written). Fails on any crash, sanitizer report, leak, timeout or memory limit.
#
#   scripts/run-fuzzers.sh                      every target, 30 s each
#   FUZZ_SECONDS=3600 scripts/run-fuzzers.sh fuzz_stage
#
# FUZZ_SECONDS sets the time per target, FUZZ_JOBS runs that many fuzzing
# processes per target in parallel, FUZZ_KEEP=1 keeps the grown corpora and
# any crash files in the work directory printed at the end (they are always
# kept when a target failed). A crash input found goes into fuzz/corpus/<target>/
# with its fix, where the <target>_replay test of every build runs it again.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
scripts/install-deps.sh

all_targets=(fuzz_number_reading fuzz_number_text fuzz_picture_import fuzz_stage)
if [ $# -gt 0 ]; then targets=("$@"); else targets=("${all_targets[@]}"); fi
seconds="${FUZZ_SECONDS:-30}"
fuzz_jobs="${FUZZ_JOBS:-1}"

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DORVANEL_FUZZ=ON -DORVANEL_TESTS=OFF -DORVANEL_BENCH=OFF -DORVANEL_SANITIZE=OFF >/dev/null
cmake --build build-fuzz -j"${ORVANEL_JOBS:-2}" --target "${targets[@]}"

work="$(mktemp -d -t orvanel-fuzz.XXXXXX)"
keep="${FUZZ_KEEP:-0}"
trap 'if [ "$keep" != 1 ]; then rm -rf "$work"; fi' EXIT

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

failed=()
for target in "${targets[@]}"; do
  corpus="$work/$target/corpus"
  artifacts="$work/$target/artifacts/"
  mkdir -p "$corpus" "$artifacts"
  if [ -d "fuzz/corpus/$target" ]; then cp -R "fuzz/corpus/$target/." "$corpus/"; fi
  options=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -malloc_limit_mb=1536
           -max_len=65536 -print_final_stats=1 -artifact_prefix="$artifacts")
  if [ -f "fuzz/$target.dict" ]; then options+=(-dict="$root/fuzz/$target.dict"); fi
  echo "== $target: ${seconds}s"
  status=0
  if [ "$fuzz_jobs" -gt 1 ]; then
    (cd "$work/$target" && "$root/build-fuzz/fuzz/$target" "${options[@]}" \
       -jobs="$fuzz_jobs" -workers="$fuzz_jobs" "$corpus") || status=$?
  else
    "build-fuzz/fuzz/$target" "${options[@]}" "$corpus" >"$work/$target/log" 2>&1 || status=$?
    tail -n 12 "$work/$target/log"
  fi
  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$artifacts")" ]; then
    echo "== $target FAILED (exit $status); crash inputs:"
    ls -l "$artifacts"
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then keep=1; fi
if [ "$keep" = 1 ]; then echo "Corpora and crash inputs kept in $work"; fi
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzz targets that failed: ${failed[*]}"
  exit 1
fi
echo "All fuzz targets ran without a failure."
