#!/usr/bin/env bash
# Builds everything (installing the Debian packages it needs, fpc for the
# compile checks included) and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/ensure_packages.sh" g++ cmake make rapidjson-dev libyaml-dev libmimalloc-dev googletest libgtest-dev libgmock-dev libbenchmark-dev fpc
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" -j"$(nproc)"
cd "$root/build" && ctest --output-on-failure -j"$(nproc)"
