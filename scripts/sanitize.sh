#!/usr/bin/env bash
# Builds the program and the whole test suite with g++, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize, and runs every test. Any
# sanitizer report (memory error, leak, undefined behaviour) ends the process
# that made it with a failure, so the test that ran it fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/ensure_packages.sh" g++ cmake make rapidjson-dev libyaml-dev googletest libgtest-dev libgmock-dev fpc
build="$root/build-sanitize"
CC=gcc CXX=g++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVANE_SANITIZE=ON \
  -DTOLVANE_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
cd "$build" && ctest --output-on-failure -j"$(nproc)"
