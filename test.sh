#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal build and once
# under AddressSanitizer and UndefinedBehaviorSanitizer; then each fuzz target for a fixed run.
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

# The libFuzzer targets (fuzz/), built with clang in a folder of their own. Each runs a fixed
# number of inputs from a fixed seed, starting from the committed corpus only (what it finds goes
# to an emptied scratch folder), with address randomisation off and no corpus reloading: two runs
# do the same, and a failure here comes from the code or the corpus, not from luck. A failing
# input is left in build-fuzz/artifacts/; it goes into fuzz/corpus/ with its fix. Under a minute
# per target on two cores; for a long, open session see the README (Fuzzing).
if command -v clang++ >/dev/null; then
  cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DTARVELLO_FUZZ=ON -DTARVELLO_BUILD_TESTS=OFF \
        -DTARVELLO_BUILD_BENCH=OFF "-DTARVELLO_SKIP=chart;ui;tools" >/dev/null
  cmake --build build-fuzz -j"$jobs" --target fuzz_text_to_real fuzz_list_reader fuzz_computation fuzz_dynamics fuzz_datasheet
  mkdir -p build-fuzz/artifacts
  export TARVELLO_FUZZ_LIST=$PWD/build-fuzz/scratch/list.dat # a list file named alike in every run
  fixed=(setarch "$(uname -m)" -R)
  if ! "${fixed[@]}" true 2>/dev/null; then
    echo "address randomisation cannot be turned off here: the fuzz runs may differ" >&2
    fixed=()
  fi
  for target_runs in text_to_real:1500000 list_reader:40000 computation:100000 dynamics:15000 datasheet:3000; do
    target=${target_runs%:*}
    scratch=build-fuzz/scratch/$target
    rm -rf "$scratch" && mkdir -p "$scratch"
    "${fixed[@]}" build-fuzz/fuzz/fuzz_$target -seed=1 -runs="${target_runs#*:}" -reload=0 -timeout=10 \
      -max_len=8192 -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/ "$scratch" "fuzz/corpus/$target"
  done
else
  echo "clang++ not found: the fuzz targets were not run" >&2
fi
