#!/usr/bin/env bash
# Mutation testing: plants the faults listed in scripts/mutants.txt into src/,
# one at a time, rebuilds, and runs the whole test suite to see whether a test
# notices. Slow (the whole suite runs for every fault no test catches), so it
# is run by hand, never in CI.
#
#   scripts/mutate.sh [--build DIR] [--only M01,M07] [--out FILE] [--list] [--check]
#
#   --build DIR  build folder of its own (default build-mutate), configured on
#                first use: Debug, -O0 -g0, warnings not errors, tests on
#   --only IDS   run only these mutants (comma-separated)
#   --out FILE   results table (default DIR/mutation-results.md)
#   --list       list the mutants and whether each still applies; build nothing
#   --check      compile each mutant's file alone, run no tests
#
# Each mutant is applied to the working file itself and the original bytes are
# always put back afterwards, also on Ctrl-C or SIGTERM. A run killed outright
# leaves a note in DIR/mutate-backup; the next run puts that file back first.
#
# A mutant is "killed" when a test fails (or the suite runs far past its
# baseline time), "survived" when the whole suite passes, "build failed" when
# it does not compile (not counted as killed), and "not applicable" when its
# file or its text is not found exactly once.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build=build-mutate
only=""
out=""
mode=run
while (($#)); do
  case "$1" in
    --build) build=${2:?--build needs a folder}; shift 2 ;;
    --only) only=${2:?--only needs mutant ids}; shift 2 ;;
    --out) out=${2:?--out needs a file}; shift 2 ;;
    --list) mode=list; shift ;;
    --check) mode=check; shift ;;
    -h|--help) sed -n '2,23p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "mutate.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done
mutants_file=$root/scripts/mutants.txt
build=$(realpath -m "$build")
out=$(realpath -m "${out:-$build/mutation-results.md}")

# --- the mutants file and the text replacement -------------------------------

helper=$(cat <<'PY'
import sys

def parse(path):
    mutants, cur, block = [], None, None
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    for no, line in enumerate(lines, 1):
        if line.startswith("== "):
            cur = {"id": line[3:].strip(), "line": no, "original": [], "replacement": []}
            mutants.append(cur)
            block = None
        elif cur is None or (block is None and (line.startswith("#") or not line.strip())):
            if cur is None and line.strip() and not line.startswith("#"):
                sys.exit(f"{path}:{no}: text before the first mutant")
        elif line == "--- original":
            block = "original"
        elif line == "--- replacement":
            block = "replacement"
            cur["replaced"] = True
        elif block is not None:
            cur[block].append(line)
        else:
            key, sep, value = line.partition(":")
            if not sep or key not in ("area", "file", "what"):
                sys.exit(f"{path}:{no}: expected area:, file:, what: or a text block")
            cur[key] = value.strip()
    seen = set()
    for m in mutants:
        for key in ("area", "file", "what"):
            if not m.get(key):
                sys.exit(f"{path}:{m['line']}: {m['id']} has no {key}:")
        if m["id"] in seen:
            sys.exit(f"{path}:{m['line']}: {m['id']} appears twice")
        seen.add(m["id"])
        if "/" in m["file"]:
            sys.exit(f"{path}:{m['line']}: {m['id']}: file: takes a base name, not a path")
        for key in ("original", "replacement"):
            while m[key] and not m[key][-1].strip():
                m[key].pop()
            m[key] = "\n".join(m[key])
        if not m["original"]:
            sys.exit(f"{path}:{m['line']}: {m['id']} has no original text")
        if not m.get("replaced"):
            sys.exit(f"{path}:{m['line']}: {m['id']} has no '--- replacement' line")
        if m["original"] == m["replacement"]:
            sys.exit(f"{path}:{m['line']}: {m['id']} changes nothing")
    return mutants

def find(mutants, wanted):
    for m in mutants:
        if m["id"] == wanted:
            return m
    sys.exit(f"no mutant {wanted}")

cmd, path = sys.argv[1], sys.argv[2]
mutants = parse(path)
if cmd == "list":
    for m in mutants:
        print("\t".join((m["id"], m["area"], m["file"], m["what"])))
elif cmd in ("test", "apply"):
    m = find(mutants, sys.argv[3])
    target = sys.argv[4]
    with open(target, "rb") as f:
        data = f.read()
    text = data.decode("utf-8")
    count = text.count(m["original"])
    if count != 1:
        print(f"original text found {count} times in {target}")
        sys.exit(3)
    if cmd == "apply":
        with open(target, "wb") as f:
            f.write(text.replace(m["original"], m["replacement"]).encode("utf-8"))
else:
    sys.exit(f"unknown helper command {cmd}")
PY
)
mutant_tool() { python3 -c "$helper" "$1" "$mutants_file" "${@:2}"; }

declare -a ids=() areas=() files=() whats=()
while IFS=$'\t' read -r id area file what; do
  ids+=("$id"); areas+=("$area"); files+=("$file"); whats+=("$what")
done < <(mutant_tool list)
((${#ids[@]})) || { echo "mutate.sh: no mutants in $mutants_file" >&2; exit 2; }

declare -a selected=()
if [[ -n $only ]]; then
  IFS=',' read -r -a wanted <<<"$only"
  for w in "${wanted[@]}"; do
    found=""
    for i in "${!ids[@]}"; do [[ ${ids[$i]} == "$w" ]] && found=$i; done
    [[ -n $found ]] || { echo "mutate.sh: no mutant $w in $mutants_file" >&2; exit 2; }
    selected+=("$found")
  done
else
  selected=("${!ids[@]}")
fi

# Prints the one file under src/ with the base name, or why there is none.
locate() {
  local -a hits
  mapfile -t hits < <(find src -name "$1" -type f | sort)
  if ((${#hits[@]} == 1)); then
    printf '%s\n' "${hits[0]}"
    return 0
  fi
  if ((${#hits[@]} == 0)); then
    printf 'no file named %s under src/\n' "$1"
  else
    printf '%s names %d files: %s\n' "$1" "${#hits[@]}" "${hits[*]}"
  fi
  return 1
}

# Sets $path, or $why when the mutant cannot be applied.
applicable() {
  local i=$1
  why=""
  if ! path=$(locate "${files[$i]}"); then
    why=$path
    path=""
    return 1
  fi
  if ! why=$(mutant_tool test "${ids[$i]}" "$path"); then
    return 1
  fi
}

if [[ $mode == list ]]; then
  for i in "${selected[@]}"; do
    if applicable "$i"; then state="applies to $path"; else state="NOT APPLICABLE: $why"; fi
    printf '%s  %-18s %s\n      %s\n' "${ids[$i]}" "${areas[$i]}" "${whats[$i]}" "$state"
  done
  exit 0
fi

# --- putting the original bytes back -----------------------------------------

backup=$build/mutate-backup
child=""
mutated=""

restore() {
  if [[ -n $mutated ]]; then
    # Plain copy, not cp -p: the new time stamp makes the next build recompile it.
    cp "$backup/original" "$mutated"
    if ! cmp -s "$backup/original" "$mutated"; then
      echo "mutate.sh: could not restore $mutated; its original is in $backup/original" >&2
      return 1
    fi
    rm -f "$backup/original" "$backup/path"
    mutated=""
  fi
}

stop_child() {
  if [[ -n $child ]]; then
    kill -TERM -- "-$child" 2>/dev/null || true
    wait "$child" 2>/dev/null || true
    child=""
  fi
}

trap 'stop_child; restore' EXIT
trap 'echo "mutate.sh: interrupted; the source is restored" >&2; exit 130' INT
trap 'exit 143' TERM HUP

mkdir -p "$backup" "$build/mutate-logs"
if [[ -f $backup/path ]]; then
  left=$(cat "$backup/path")
  echo "mutate.sh: an earlier run was killed while $left was mutated; restoring it" >&2
  mutated=$left
  restore
fi

apply() {
  local i=$1
  cp "$path" "$backup/original"
  printf '%s\n' "$path" >"$backup/path"
  mutated=$path
  mutant_tool apply "${ids[$i]}" "$path" >/dev/null
}

# Runs a command in a process group of its own, output to a log, so that an
# interrupt can end it with everything it started.
run_logged() {
  local log=$1
  shift
  setsid "$@" >"$log" 2>&1 &
  child=$!
  local rc=0
  wait "$child" || rc=$?
  child=""
  return "$rc"
}

# --- the build folder ----------------------------------------------------------

if [[ ! -f $build/CMakeCache.txt ]]; then
  echo "Configuring $build"
  # As the ci preset, but Debug without optimisation or debug info (fastest
  # rebuilds) and without -Werror: a mutant may well leave a warning.
  # Every mutant relinks every program; lld does that several times faster.
  linker=()
  if command -v ld.lld >/dev/null; then linker=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld); fi
  cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g0" "${linker[@]}" \
    -DKELVADO_WERROR=OFF -DKELVADO_TESTS=ON -DKELVADO_FUZZ=OFF -DKELVADO_SANITIZE=OFF >/dev/null
fi

if [[ $mode == check ]]; then
  failed=0
  for i in "${selected[@]}"; do
    id=${ids[$i]}
    if ! applicable "$i"; then
      echo "$id not applicable: $why"
      failed=1
      continue
    fi
    mapfile -t objects < <(ninja -C "$build" -t targets all | sed -n "s|^\(.*/$(basename "$path")\.o\): .*|\1|p")
    apply "$i"
    if ((${#objects[@]})) && run_logged "$build/mutate-logs/$id.check.log" ninja -C "$build" -j2 "${objects[@]}"; then
      echo "$id compiles"
    else
      echo "$id DOES NOT COMPILE (see $build/mutate-logs/$id.check.log)"
      failed=1
    fi
    restore
  done
  exit "$failed"
fi

now() { date +%s.%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.0f", b - a }'; }

build_all() { run_logged "$1" cmake --build "$build" -j2; }

# Runs the whole suite; $2 is a time limit in seconds (0: none).
run_suite() {
  local log=$1 limit=$2
  local -a cmd=(ctest --test-dir "$build" -j2 --stop-on-failure --output-on-failure)
  if ((limit > 0)); then
    cmd=(timeout -k 30 "$limit" "${cmd[@]}")
  fi
  run_logged "$log" env QT_QPA_PLATFORM=offscreen PATH="$build/recorder-bin:$PATH" "${cmd[@]}"
}

failed_tests() {
  awk '/The following tests FAILED:/ { on = 1; next }
       on && /^[[:space:]]+[0-9]+ - / { sub(/^[[:space:]]+[0-9]+ - /, ""); sub(/ \(.*$/, ""); print }' "$1" |
    paste -sd, - | sed 's/,/, /g'
}

# --- the baseline --------------------------------------------------------------

logs=$build/mutate-logs
if [[ -n $(git status --porcelain -- src) ]]; then
  echo "mutate.sh: note: src/ has changes not committed; they are part of every run" >&2
fi
echo "Building the unmutated program in $build"
if ! build_all "$logs/baseline-build.log"; then
  echo "mutate.sh: the unmutated program does not build; see $logs/baseline-build.log" >&2
  exit 1
fi
echo "Running the whole suite on the unmutated program"
start=$(now)
if ! run_suite "$logs/baseline.log" 0; then
  echo "mutate.sh: the suite fails without any mutant; see $logs/baseline.log" >&2
  exit 1
fi
baseline=$(seconds_since "$start")
echo "Baseline: the whole suite passed in $baseline s"
# A mutant that makes the suite run on far longer than this has hung something.
limit=$((2 * baseline + 180))

# --- the mutants -----------------------------------------------------------------

declare -a results=()
commit=$(git rev-parse --short HEAD)
started_at=$(date '+%Y-%m-%d %H:%M')

write_results() {
  local state=$1 killed=0 survived=0 build_failed=0 not_applicable=0 r
  for r in "${results[@]}"; do
    case "${r##*|}" in
      " killed"*) ((++killed)) ;;
      " survived"*) ((++survived)) ;;
      " build failed"*) ((++build_failed)) ;;
      " not applicable"*) ((++not_applicable)) ;;
    esac
  done
  {
    echo "# Mutation run"
    echo
    echo "Commit $commit, started $started_at, $state."
    echo "Baseline: the whole suite passed in $baseline s (ctest -j2, build $(basename "$build"))."
    echo
    echo "| id | area | description | result |"
    echo "|---|---|---|---|"
    for r in "${results[@]}"; do echo "$r |"; done
    echo
    echo "killed $killed of ${#selected[@]}"
    echo "(survived $survived, build failed $build_failed, not applicable $not_applicable, not yet run $((${#selected[@]} - ${#results[@]})))"
  } >"$out.tmp"
  mv "$out.tmp" "$out"
}

n=0
for i in "${selected[@]}"; do
  id=${ids[$i]}
  ((++n))
  printf '[%d/%d] %s %s: %s ... ' "$n" "${#selected[@]}" "$id" "${files[$i]}" "${whats[$i]}"
  t0=$(now)
  if ! applicable "$i"; then
    result="not applicable: $why"
    echo "NOT APPLICABLE: $why" >&2
  else
    apply "$i"
    if ! build_all "$logs/$id.build.log"; then
      result="build failed"
    else
      rc=0
      run_suite "$logs/$id.log" "$limit" || rc=$?
      if ((rc == 0)); then
        result="survived"
      elif ((rc == 124 || rc == 137)); then
        result="killed (suite timed out)"
      else
        by=$(failed_tests "$logs/$id.log")
        result="killed${by:+ by $by}"
      fi
    fi
    restore
  fi
  echo "$result ($(seconds_since "$t0") s)"
  results+=("| $id | ${areas[$i]} | ${whats[$i]//|/\\|} | $result")
  write_results "in progress"
done

# The source is back as it was: build it once more so the folder holds the
# unmutated program again.
build_all "$logs/final-build.log" || echo "mutate.sh: the final rebuild failed; see $logs/final-build.log" >&2

write_results "finished $(date '+%Y-%m-%d %H:%M')"
echo
sed -n '/^| id /,$p' "$out"
echo
echo "Results written to $out"
