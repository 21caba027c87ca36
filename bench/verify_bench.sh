#!/bin/sh
# `kelvado verify` against sha256sum over the same recordings, side by side in
# one run: files of random bytes made at run time, a record naming them (its
# sums recorded by `kelvado verify --add-missing-sums`), then each reader twice
# in turn, the page cache dropped before each where this user may (root).
# A run that fails (verify finding anything but ok) stops the bench.
# Prints seconds, MB/s and peak resident memory per run.
#   bench/verify_bench.sh [PROGRAM [GB]]   (default: build/kelvado, 4 files of 1 GB)
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
kelvado=${1:-$here/build/kelvado}
gb=${2:-4}
dir=$(mktemp -d "${TMPDIR:-/var/tmp}/kelvado-verify-bench.XXXXXX")
trap 'rm -rf "$dir"' EXIT

i=0
while [ "$i" -lt "$gb" ]; do
  head -c 1073741824 /dev/urandom > "$dir/Recording_$i.mpg"
  printf '%s.mpg\tRecording %s\t01/01/2001\t2026-12-01T20:15:00\t%s\n' "$i" "$i" "$dir/Recording_$i.mpg" \
    >> "$dir/SavedRecordings.txt"
  i=$((i + 1))
done
"$kelvado" verify --add-missing-sums "$dir" > /dev/null 2>&1
bytes=$(stat -c %s "$dir"/Recording_*.mpg | awk '{ s += $1 } END { printf "%.0f\n", s }')

drop() {
  sync
  if echo 3 2> /dev/null > /proc/sys/vm/drop_caches; then echo "cache dropped"; else echo "cache kept (not root)"; fi
}

measure() {
  name=$1
  shift
  cache=$(drop)
  /usr/bin/time -f '%e %M' -o "$dir/time" "$@" > "$dir/out" 2>&1 || { cat "$dir/out"; exit 1; }
  read -r seconds kb < "$dir/time"
  awk -v n="$name" -v s="$seconds" -v b="$bytes" -v kb="$kb" -v c="$cache" \
    'BEGIN { printf "%-16s %6.2f s  %7.1f MB/s  peak %6.1f MB  (%s)\n", n, s, b / s / 1e6, kb / 1024, c }'
}

echo "$gb files of 1 GB, $bytes bytes"
for round in 1 2; do
  (cd "$dir" && measure "sha256sum" sha256sum Recording_*.mpg)
  measure "kelvado verify" "$kelvado" verify "$dir"
done
