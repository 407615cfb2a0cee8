#!/usr/bin/env bash
# Compares what two builds write: the binary of BASE (a git revision, default
# HEAD) against the binary of the work tree, over the documents of
# scripts/snapshot_units.py (example, real corpus, fuzz corpora, and any extra
# documents named after BASE), in the plain and --compilable runs with and
# without a class filter. Prints the differing documents and exits 1 on any
# difference. The base is built in build-base/ from a worktree kept there.
#
#     [RUNS="plain filter"] scripts/compare_units.sh [BASE] [EXTRA_DOCUMENT ...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
base="${1:-HEAD}"
shift || true
work="$(mktemp -d "${TMPDIR:-/tmp}/tolvane-compare.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# The base's sources stay in one place, so its build is incremental.
tree="$root/build-base/src"
git -C "$root" worktree remove --force "$tree" >/dev/null 2>&1 || rm -rf "$tree"
git -C "$root" worktree prune
git -C "$root" worktree add --detach "$tree" "$base" >/dev/null 2>&1
cmake -S "$tree" -B "$root/build-base/out" -DCMAKE_BUILD_TYPE=Release -DTOLVANE_BENCH=OFF >/dev/null
cmake --build "$root/build-base/out" --target tolvane -j"$(nproc)" >/dev/null
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --target tolvane -j"$(nproc)" >/dev/null

python3 "$root/scripts/snapshot_units.py" "$root/build-base/out/tolvane" "$work/base" "$@"
python3 "$root/scripts/snapshot_units.py" "$root/build/tolvane" "$work/new" "$@"
if diff -rq "$work/base" "$work/new" >"$work/differing"; then
  echo "identical: every unit and every output line"
else
  echo "$(wc -l <"$work/differing") documents differ:"
  sed -e 's|^Files .*/base/\([^ ]*\) and .*|\1|' -e "s|^Only in $work/||" "$work/differing"
  diff -r "$work/base" "$work/new" | head -n 60 || true
  exit 1
fi
