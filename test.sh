#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal build and once
# under AddressSanitizer and UndefinedBehaviorSanitizer; then each fuzz target for a minute.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh test
jobs=$(nproc)

cmake -S . -B build -DTARVELLO_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DTARVELLO_WERROR=ON -DTARVELLO_SANITIZE=ON -DTARVELLO_BUILD_BENCH=OFF \
      -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

# The libFuzzer targets (fuzz/), built with clang in a folder of their own and run for a minute
# each from their seed corpus; a crash, a sanitizer report or a failed check fails the run and
# leaves the input that caused it in build-fuzz/artifacts/.
if command -v clang++ >/dev/null; then
  cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DTARVELLO_FUZZ=ON -DTARVELLO_BUILD_TESTS=OFF \
        -DTARVELLO_BUILD_BENCH=OFF "-DTARVELLO_SKIP=chart;ui;tools" >/dev/null
  cmake --build build-fuzz -j"$jobs" --target fuzz_text_to_real fuzz_list_reader fuzz_computation fuzz_dynamics
  mkdir -p build-fuzz/artifacts
  for target in text_to_real list_reader computation dynamics; do
    corpus=build-fuzz/corpus/$target
    mkdir -p "$corpus"
    build-fuzz/fuzz/fuzz_$target -max_total_time=60 -timeout=10 -max_len=8192 -print_final_stats=1 \
      -artifact_prefix=build-fuzz/artifacts/ "$corpus" "fuzz/corpus/$target"
  done
else
  echo "clang++ not found: the fuzz targets were not run" >&2
fi
