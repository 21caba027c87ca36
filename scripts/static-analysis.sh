#!/usr/bin/env bash
# Static analysis of every .cpp under src/ and the program's headers they
# include: clang-tidy with the checks in .clang-tidy, then clazy with Qt's own
# checks. Installs what is missing, prints each finding, and exits with status 1
# when there is one (or when a tool could not read a source).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=2

# clazy: levels 0 to 2, less the one check below (each level takes in the ones
# before it).
#   ctor-missing-parent-argument: EndOnSignal and UserInputBlock are guards
#     that live on the stack for a scope; no parent ever owns them.
clazy_checks=level2,no-ctor-missing-parent-argument

KELVADO_ANALYSIS=1 bash scripts/install-deps.sh
cmake --preset analysis >/dev/null
# What a source may include from the build tree (moc's output) is made first;
# CMake builds the core library on the way, as the UI's moc step waits for it.
cmake --build --preset analysis -j "$jobs" --target kelvado_core_autogen kelvado_ui_autogen kelvado_autogen -- --quiet

out=build-analysis/findings
rm -rf "$out"
mkdir -p "$out"
mapfile -t sources < <(find src -name '*.cpp' | sort)

# Runs one tool over one source. Each run writes a file of its own, so the
# output of two parallel runs never mixes; a tool's own exit status is kept
# beside it (clang-tidy fails on a finding, clazy only on a source it cannot read).
analyse_one() {
  local tool=$1 source=$2 log
  log="$out/$tool.$(tr / _ <<<"$source")"
  local status=0
  case $tool in
    clang-tidy) clang-tidy --quiet -p build-analysis "$source" >"$log" 2>&1 || status=$? ;;
    clazy) clazy-standalone -p build-analysis --checks="$clazy_checks" \
             --header-filter="^$root/src/(core|ui|cli|desktop)/" "$source" >"$log" 2>&1 || status=$? ;;
  esac
  echo "$status" >"$log.status"
}
export -f analyse_one
export out root clazy_checks

findings=0
failed=0
for tool in clang-tidy clazy; do
  echo "== $tool over ${#sources[@]} sources, $jobs at a time"
  start=$SECONDS
  printf '%s\0' "${sources[@]}" | xargs -0 -P "$jobs" -I{} bash -c 'analyse_one "$0" "$1"' "$tool" {}
  : >"$out/$tool.found"
  for source in "${sources[@]}"; do
    log="$out/$tool.$(tr / _ <<<"$source")"
    if grep -E ': (warning|error):' "$log" >>"$out/$tool.found"; then
      continue
    elif [[ $(cat "$log.status") != 0 ]]; then
      cat "$log"
      echo "$source: $tool ended with status $(cat "$log.status") and no finding"
      failed=1
    fi
  done
  # A finding in a header comes once from every source that includes it.
  sort -u "$out/$tool.found" | sed "s|^$root/||"
  count=$(sort -u "$out/$tool.found" | wc -l)
  echo "$tool: $count findings in $((SECONDS - start)) s (with context in $out/$tool.*)"
  findings=$((findings + count))
done

if ((findings || failed)); then
  echo "Static analysis: $findings findings" >&2
  exit 1
fi
echo "Static analysis: no findings"
