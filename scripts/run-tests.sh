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

# ccache keeps what was compiled between runs on this machine, in its default
# cache directory. Paths are hashed relative to the project root, so a clone
# in another directory finds the same entries; precompiled headers need the
# sloppiness named here.
launcher=""
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
  export CCACHE_SLOPPINESS="pch_defines,time_macros,include_file_mtime,include_file_ctime"
  launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
fi

# Each phase says how long it took and how much processor time its commands
# used (on a busy machine the second tells what an idle one would need); the
# summary comes at the end.
times="$(mktemp "${TMPDIR:-/tmp}/lanternpost-times-XXXXXX")"
# Sets `cpu` to the processor time of the finished children so far. `times`
# must run in this shell: in a command substitution it would count only the
# substitution's own children.
cpu_seconds() {
  times > "$times.cpu"
  cpu=$(awk 'NR == 2 { split($1, u, "m"); split($2, s, "m"); printf "%d", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$times.cpu")
}
phase() {
  name=$1
  shift
  start=$(date +%s)
  cpu_seconds
  cpu_start=$cpu
  status=0
  "$@" || status=$?
  cpu_seconds
  line="$name: $(($(date +%s) - start)) s, processor $((cpu - cpu_start)) s"
  echo "$line" >> "$times"
  echo "=== $line"
  return "$status"
}
summary() {
  echo "=== time of each phase"
  cat "$times"
  rm -f "$times" "$times.cpu"
}
trap summary EXIT

if [ "$which" = all ] || [ "$which" = plain ]; then
  # shellcheck disable=SC2086
  phase configure cmake -S . -B build -G Ninja $launcher
  phase build cmake --build build
  phase ctest ctest --test-dir build --output-on-failure
  phase package scripts/check-package.sh build
fi

if [ "$which" = all ] || [ "$which" = sanitized ]; then
  # ASan and LSan reports go to files as well as being fatal: a command-line
  # child whose failing exit status a test expects must not hide a report.
  # (GCC's UBSan beside ASan ignores log_path; its reports abort on stderr.)
  reports="$(mktemp -d "${TMPDIR:-/tmp}/lanternpost-sanitizer-XXXXXX")"
  trap 'rm -rf "$reports"; summary' EXIT
  export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_invalid_pointer_pairs=0:log_path=$reports/asan"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0"
  # shellcheck disable=SC2086
  phase configure-asan cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLANTERNPOST_SANITIZE=ON \
    -DLANTERNPOST_BUILD_BENCHMARKS=OFF $launcher
  phase build-asan cmake --build build-asan
  result=0
  phase ctest-asan ctest --test-dir build-asan --output-on-failure || result=$?
  if [ -n "$(ls -A "$reports")" ]; then
    for report in "$reports"/*; do
      echo "=== sanitizer report $report"
      cat "$report"
    done
    result=1
  fi
  exit "$result"
fi
