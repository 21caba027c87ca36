#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz and runs each for SECONDS
# on a copy of its seed corpus (the repository's seeds are never changed).
# Exits non-zero when any target reports a finding.
#   fuzz/run.sh 60
set -euo pipefail
seconds=${1:?usage: fuzz/run.sh SECONDS}
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVADO_FUZZ_BUILD:-$here/build-fuzz}
jobs=${KELVADO_FUZZ_JOBS:-2}
targets=(guide_parser file_stat settings log_lines save_name)

quiet() {
  local output
  if ! output=$("$@" 2>&1); then
    printf '%s\n' "$output" >&2
    exit 1
  fi
}
quiet cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DKELVADO_FUZZ=ON -DKELVADO_TESTS=OFF
quiet cmake --build "$build" -j"$jobs" --target "${targets[@]/#/fuzz_}"

failed=0
for name in "${targets[@]}"; do
  "$here/fuzz/run-target.sh" "$build/fuzz/fuzz_$name" "$here/fuzz" "$name" "$seconds" || failed=1
done
exit $failed
