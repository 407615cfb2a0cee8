#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/*_fuzzer.cpp) with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer in build-fuzz, and runs each one for a bounded
# time on a copy of its committed corpus (fuzz/corpus/<target>/), so that the
# committed corpus is never changed by a run. Fails on the first crash, leak,
# timeout, out-of-memory or sanitizer report; the input that caused it is
# kept in build-fuzz/artifacts/<target>/.
#
# Environment:
#   FUZZ_SECONDS  seconds per target (default 60)
#   FUZZ_TARGETS  targets to run, blank-separated (default: every target)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${FUZZ_SECONDS:-60}"
bash "$root/scripts/ensure_packages.sh" clang libclang-rt-14-dev cmake make rapidjson-dev libyaml-dev googletest libgtest-dev libgmock-dev

build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOLVANE_FUZZ=ON -DTOLVANE_BENCH=OFF >/dev/null

if [ -n "${FUZZ_TARGETS:-}" ]; then
  read -r -a targets <<<"$FUZZ_TARGETS"
else
  targets=()
  for source in "$root"/fuzz/*_fuzzer.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi
cmake --build "$build" --target "${targets[@]}" -j"$(nproc)"

work="$(mktemp -d "${TMPDIR:-/tmp}/tolvane-fuzz-run.XXXXXX")"
trap 'rm -rf "$work"' EXIT
# Leaks are reported at the end of a run and after each input that leaked;
# every finding ends the run with a non-zero status.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:allocator_may_return_null=0:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"

status=0
for target in "${targets[@]}"; do
  corpus="$work/$target"
  mkdir -p "$corpus" "$build/artifacts/$target"
  if [ -d "$root/fuzz/corpus/$target" ]; then
    cp -r "$root/fuzz/corpus/$target/." "$corpus/"
  fi
  echo "== $target: ${seconds} s on $(ls "$corpus" | wc -l) corpus inputs"
  if ! nice -n 10 "$build/$target" "$corpus" -max_total_time="$seconds" -timeout=20 \
      -rss_limit_mb=2048 -max_len=16384 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$target/" 2>"$work/$target.log"; then
    tail -n 80 "$work/$target.log"
    echo "== $target: FINDING (artifact in $build/artifacts/$target/)"
    status=1
    continue
  fi
  grep -E '^(stat::|#[0-9]+[[:space:]]+DONE)' "$work/$target.log" || true
  echo "== $target: no finding"
done
exit "$status"
