#!/bin/sh
# Builds and runs every test twice: the ordinary build in build/, then a
# Debug build under AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ (benchmarks left out there). Fails when a test fails or when a
# sanitizer reported anything, in a test or in a command it started.
#   scripts/run-tests.sh            both builds
#   scripts/run-tests.sh plain      only build/
#   scripts/run-tests.sh sanitized  only build-asan/
set -eu
cd "$(dirname "$0")/.."
which="${1:-all}"

if [ "$which" = all ] || [ "$which" = plain ]; then
  cmake -S . -B build -G Ninja
  cmake --build build
  ctest --test-dir build --output-on-failure
fi

if [ "$which" = all ] || [ "$which" = sanitized ]; then
  # ASan and LSan reports go to files as well as being fatal: a command-line
  # child whose failing exit status a test expects must not hide a report.
  # (GCC's UBSan beside ASan ignores log_path; its reports abort on stderr.)
  reports="$(mktemp -d "${TMPDIR:-/tmp}/lanternpost-sanitizer-XXXXXX")"
  trap 'rm -rf "$reports"' EXIT
  export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_invalid_pointer_pairs=0:log_path=$reports/asan"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0"
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLANTERNPOST_SANITIZE=ON \
    -DLANTERNPOST_BUILD_BENCHMARKS=OFF
  cmake --build build-asan
  status=0
  ctest --test-dir build-asan --output-on-failure || status=$?
  if [ -n "$(ls -A "$reports")" ]; then
    for report in "$reports"/*; do
      echo "=== sanitizer report $report"
      cat "$report"
    done
    status=1
  fi
  exit "$status"
fi
