#!/usr/bin/env bash
# fuzz/run.sh SECONDS: builds the fuzz targets with clang into build-fuzz and
# runs each for SECONDS; fuzz/run.sh SECONDS BINARY runs one built target. A
# run works on a copy of the target's seeds. A finding (crash, sanitizer report,
# broken invariant, timeout, memory limit) keeps that copy with the input and
# the output, and makes the exit status non-zero.
set -uo pipefail
seconds=${1:?usage: fuzz/run.sh SECONDS [BINARY]}
fuzz=$(cd "$(dirname "$0")" && pwd)
if (($# == 1)); then
  build=${KELVADO_FUZZ_BUILD:-$fuzz/../build-fuzz} log=$(mktemp) failed=0
  targets=(guide_parser settings log_lines save_name)
  { cmake -S "$fuzz/.." -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DKELVADO_FUZZ=ON \
      -DKELVADO_TESTS=OFF && cmake --build "$build" -j"${KELVADO_FUZZ_JOBS:-2}" --target "${targets[@]/#/fuzz_}"; } \
    >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
  for name in "${targets[@]}"; do "$0" "$seconds" "$build/fuzz/fuzz_$name" || failed=1; done
  rm -f "$log"
  exit $failed
fi

name=${2##*/fuzz_} work=$(mktemp -d "${TMPDIR:-/tmp}/kelvado-fuzz-$name.XXXXXX")
mkdir "$work/findings" && cp -R "$fuzz/corpus/$name" "$work/corpus" || exit 1
options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/findings/"
         -print_final_stats=1 -max_len="$([[ $name == guide_parser || $name == log_lines ]] && echo 8192 || echo 1024)")
# The guide's lines pass what the reader keeps of a field (64 characters) from the first runs on.
[[ $name == guide_parser ]] && options+=(-len_control=0)
[[ -f $fuzz/$name.dict ]] && options+=(-dict="$fuzz/$name.dict")
UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} "$2" "${options[@]}" "$work/corpus" >"$work/output.txt" 2>&1
status=$? runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/output.txt" | tail -n 1)
if ((status == 0)) && [[ -z $(ls -A "$work/findings") ]]; then
  echo "$name: ok, ${runs:-?} runs in ${seconds}s, corpus $(find "$work/corpus" -type f | wc -l) inputs"
  rm -rf "$work"
  exit 0
fi
echo "$name: FINDING (exit $status) after ${runs:-?} runs; output and input kept in $work"
grep -E 'invariant broken|^  [^ ]|runtime error|SUMMARY|ERROR: ' "$work/output.txt" | head -n 6 | sed 's/^/    /'
find "$work/findings" -type f | sed 's/^/    input: /'
exit 1
