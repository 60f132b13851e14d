#!/usr/bin/env bash
# Weighs the tests against the program: non-blank lines of the suites (tests/ outside
# the kit) and of the kit (tests/support, shared with bench/), each as a share of src/.
#   bench/line_weight.sh [git revision, default: the work tree]
set -euo pipefail
cd "$(dirname "$0")/.."
rev=${1:-}
# The files whose path matches an extended regular expression.
files() {
  if [ -n "$rev" ]; then git ls-tree -r --name-only "$rev"; else git ls-files; fi | grep -E "$1" || true
}
lines() {
  local total=0 n f
  while read -r f; do
    if [ -n "$rev" ]; then n=$(git show "$rev:$f" | grep -cv '^\s*$' || true)
    else n=$(grep -cv '^\s*$' "$f" || true); fi
    total=$((total + n))
  done
  echo "$total"
}
src=$(files '^src/.*\.(cpp|h)$' | lines)
suites=$(files '^tests/.*\.(cpp|h|py|sh)$' | grep -v '^tests/support/' | lines)
kit=$(files '^tests/support/.*\.(cpp|h)$' | lines)
awk -v s="$src" -v t="$suites" -v k="$kit" 'BEGIN {
  printf "src/          %6d lines\n", s
  printf "suites        %6d lines  %5.1f %% of src/  (goal <= 33 %%)\n", t, 100 * t / s
  printf "kit           %6d lines\n", k
  printf "suites + kit  %6d lines  %5.1f %% of src/  (goal <= 38 %%)\n", t + k, 100 * (t + k) / s
}'
