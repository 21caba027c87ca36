#!/usr/bin/env bash
# The size of the test code against the size of the product code, in
# non-blank lines of the files git tracks:
#   test code:    everything under tests/, tools/*/tests/ and fuzz/ (fuzz seeds
#                 under fuzz/corpus/, CMakeLists.txt and README.md excepted)
#   product code: the C++ sources and headers under src/ and tools/, outside
#                 their tests/ folders
# Exit status 1 when the ratio passes the limit (default 0.40): the tests are
# meant to stay about a third of the code.
# Usage: test-ratio.sh [LIMIT]
set -euo pipefail
cd "$(dirname "$0")/.."
limit=${1:-0.40}
count() { if [ $# -eq 0 ]; then echo 0; else cat -- "$@" | grep -cv '^[[:space:]]*$' || true; fi; }
mapfile -t tests < <(git ls-files -- tests 'tools/*/tests/*' fuzz \
  | grep -vE '(^|/)(CMakeLists\.txt|README\.md)$' | grep -v '^fuzz/corpus/' \
  | while read -r f; do grep -Iq . "$f" 2>/dev/null && echo "$f"; done)
mapfile -t product < <(git ls-files -- src tools | grep -vE '^tools/[^/]+/tests/' \
  | grep -E '\.(cpp|cc|cxx|h|hpp)$')
t=$(count "${tests[@]}")
p=$(count "${product[@]}")
echo "test code     $t lines in ${#tests[@]} files"
echo "product code  $p lines in ${#product[@]} files"
awk -v t="$t" -v p="$p" -v limit="$limit" 'BEGIN {
  ratio = p ? t / p : 0
  printf "ratio %.2f (limit %.2f)\n", ratio, limit
  exit (sprintf("%.2f", ratio) + 0 > limit + 0) ? 1 : 0
}'
