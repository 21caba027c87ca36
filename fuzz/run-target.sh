#!/usr/bin/env bash
# Runs one fuzz target for a bounded time on a copy of its seed corpus.
#   fuzz/run-target.sh BINARY FUZZ_DIR NAME SECONDS
# Exit status 0 when the time ran out without a finding. A finding (crash,
# sanitizer report, broken invariant, timeout, memory limit) keeps the working
# copy and names the saved input.
set -uo pipefail
binary=$1 fuzz_dir=$2 name=$3 seconds=$4

case $name in
  guide_parser | log_lines) max_len=8192 ;;
  *) max_len=1024 ;;
esac

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvado-fuzz-$name.XXXXXX")
mkdir -p "$work/corpus" "$work/findings"
cp -R "$fuzz_dir/corpus/$name/." "$work/corpus/"

options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len"
         -artifact_prefix="$work/findings/" -print_final_stats=1)
[[ -f $fuzz_dir/$name.dict ]] && options+=(-dict="$fuzz_dir/$name.dict")

UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} "$binary" "${options[@]}" "$work/corpus" >"$work/output.txt" 2>&1
status=$?

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/output.txt" | tail -n 1)
coverage=$(grep -o 'cov: [0-9]*' "$work/output.txt" | tail -n 1 | cut -d' ' -f2)
findings=$(find "$work/findings" -type f | wc -l)
if [[ $status -eq 0 && $findings -eq 0 ]]; then
  echo "$name: ok, ${runs:-?} runs in ${seconds}s, coverage ${coverage:-?}, corpus $(find "$work/corpus" -type f | wc -l) inputs"
  rm -rf "$work"
  exit 0
fi
echo "$name: FINDING (exit $status) after ${runs:-?} runs; output and input kept in $work"
grep -E 'invariant broken|^  [^ ]|runtime error|SUMMARY|ERROR: ' "$work/output.txt" | head -n 6 | sed 's/^/    /'
find "$work/findings" -type f | sed 's/^/    input: /'
exit 1
