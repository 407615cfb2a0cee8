#!/usr/bin/env bash
# Builds tolvane (installing the Debian packages it needs) and converts the
# bundled example document into examples/petstore.pas.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/ensure_packages.sh" g++ cmake make rapidjson-dev libyaml-dev libmimalloc-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --target tolvane -j"$(nproc)"
"$root/build/tolvane" "$root/examples/petstore.json"
