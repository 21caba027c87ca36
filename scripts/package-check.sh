#!/usr/bin/env bash
# The Debian package as a user meets it: built from scratch in a fresh folder,
# passed by lintian, installed with apt-get, checked (its manual page and its
# systemd units too), started, and removed again with no file left.
# Needs root. Refuses to run where kelvado is already installed, and never
# leaves it installed.
set -euo pipefail
cd "$(dirname "$0")/.."
export DEBIAN_FRONTEND=noninteractive
entry=/usr/share/applications/org.kelvado.Kelvado.desktop
metainfo=/usr/share/metainfo/org.kelvado.Kelvado.metainfo.xml
manual=/usr/share/man/man1/kelvado.1.gz
units=(/usr/lib/systemd/user/kelvado-archive.service /usr/lib/systemd/user/kelvado-archive.timer)
# Waits for a dpkg lock another apt-get holds instead of failing at once.
apt=(apt-get -o DPkg::Lock::Timeout=300 -y -qq)

fail() {
  echo "package-check: $*" >&2
  exit 1
}
# Installed, half installed, or removed with its configuration kept: any trace in dpkg.
installed() {
  local status
  status="$(dpkg-query -W -f='${db:Status-Status}' kelvado 2>/dev/null)" || return 1
  [[ -n "$status" && "$status" != not-installed ]]
}

[[ $(id -u) -eq 0 ]] || fail "run as root: it installs and removes the package"
installed && fail "kelvado is already installed here; remove it first"

work="$(mktemp -d)"
started=()
cleanup() {
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  if installed; then "${apt[@]}" purge kelvado >/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "== Build the package in a fresh folder"
deb="$(bash scripts/package.sh "$work/build")"
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"
echo "Depends: $(dpkg-deb --field "$deb" Depends)"
contents="$(dpkg-deb --contents "$deb" | awk '{print $NF}')"
for file in ./usr/bin/kelvado ".$entry" ".$metainfo" ./usr/share/icons/hicolor/scalable/apps/org.kelvado.Kelvado.svg \
            ./usr/share/doc/kelvado/copyright ./usr/share/doc/kelvado/changelog.gz ".$manual" "${units[@]/#/.}"; do
  grep -qxF "$file" <<<"$contents" || fail "the package lacks $file"
done
if grep -qiE '/(tolvane|tamrick)$' <<<"$contents"; then
  fail "the package carries a stand-in recorder tool"
fi
# The stand-ins only serve the start below; they are not part of the package.
cmake --build "$work/build" --target Tolvane Tamrick >/dev/null

"${apt[@]}" update
# What the checks below run: lintian, man and systemd-analyze.
"${apt[@]}" install --no-install-recommends lintian man-db systemd >/dev/null

echo "== lintian: no error"
# Warnings are shown and allowed; an error (E:) fails the package.
status=0
lintian "$deb" >"$work/lintian" 2>&1 || status=$?
cat "$work/lintian"
grep -q '^E: ' "$work/lintian" && fail "lintian found errors in the package"
((status == 0)) || fail "lintian ended with status $status"
echo "lintian: no error ($(grep -c '^W: ' "$work/lintian") warnings)"

echo "== Install it with apt-get"
(cd "$(dirname "$deb")" && "${apt[@]}" install "./$(basename "$deb")" >/dev/null)
installed || fail "apt-get did not install kelvado"
dpkg -L kelvado | grep -vxF '/.' >"$work/files"

# Every library the program links belongs to a package that Depends names.
depends="$(dpkg-query -W -f='${Depends}' kelvado)"
ldd /usr/bin/kelvado | grep -q "not found" && fail "a library of kelvado is missing"
checked=0
while read -r library; do
  path="$(ldd /usr/bin/kelvado | awk -v lib="$library" '$1 == lib {print $3}')"
  # The dynamic loader is listed by its own path, with no "=>".
  [[ -n "$path" ]] || path="$(ldd /usr/bin/kelvado | awk -v lib="/$library" 'substr($1, length($1) - length(lib) + 1) == lib {print $1}')"
  owner="$(dpkg-query -S "$path" 2>/dev/null || dpkg-query -S "$(realpath "$path")" 2>/dev/null \
           || dpkg-query -S "${path#/usr}" 2>/dev/null)" || fail "no package owns $path"
  owner="${owner%%:*}"
  tr ',' '\n' <<<"$depends" | awk '{print $1}' | grep -qxF "$owner" \
    || fail "$library comes from $owner, which Depends does not name"
  checked=$((checked + 1))
done < <(readelf -d /usr/bin/kelvado | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
((checked > 0)) || fail "found no library that kelvado links"
echo "The $checked libraries kelvado links come from packages that Depends names."

echo "== kelvado --version"
version="$(dpkg-query -W -f='${Version}' kelvado)"
printed="$(/usr/bin/kelvado --version)"
echo "$printed"
[[ "$printed" == "Kelvado $version" ]] || fail "--version printed '$printed', the package is $version"

echo "== Validate the installed desktop entry and AppStream metadata"
desktop-file-validate "$entry"
appstreamcli validate --no-net "$metainfo"

echo "== The manual page: found by man kelvado, and set without a warning"
found="$(man -w kelvado)"
[[ "$found" == "$manual" ]] || fail "man kelvado finds '$found', not $manual"
LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -l "$manual" >"$work/manual.txt" 2>"$work/manual.err" \
  || { cat "$work/manual.err" >&2; fail "man could not set the manual page"; }
[[ -s "$work/manual.err" ]] && { cat "$work/manual.err" >&2; fail "the manual page sets with warnings"; }
grep -q "kelvado archive" "$work/manual.txt" || fail "the manual page came out without its commands"
head -4 "$work/manual.txt"

echo "== The nightly units, as the user's systemd reads them"
# As a user unit, systemd-analyze needs a runtime folder; no systemd needs to run.
# It also checks that ExecStart's program exists and that the Documentation page opens.
mkdir -m 700 "$work/runtime"
XDG_RUNTIME_DIR="$work/runtime" systemd-analyze verify --user "${units[@]}" >"$work/verify" 2>&1 \
  || { cat "$work/verify" >&2; fail "systemd-analyze verify refused the units"; }
# Unknown keys and bad values are only reported, not refused: any word from it is a fault.
[[ -s "$work/verify" ]] && { cat "$work/verify" >&2; fail "systemd-analyze verify reported on the units"; }
echo "systemd-analyze verify --user: no remarks on ${units[*]##*/}"

# Starts the installed program offscreen in the folder given first, with the
# stand-in tools on PATH; waits for the log header in the folder given second,
# then ends it.
start_and_see_log() {
  local cwd="$1" folder="$2" pid
  shift 2
  (cd "$cwd" && PATH="$work/build/recorder-bin:$PATH" QT_QPA_PLATFORM=offscreen exec "$@") >"$work/kelvado.out" 2>&1 &
  pid=$!
  started+=("$pid")
  for ((i = 0; i < 300; i++)); do
    grep -qs "New Kelvado Log V. 1.5  Started" "$folder/Kelvado.LOG" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if ! grep -qs "New Kelvado Log V. 1.5  Started" "$folder/Kelvado.LOG"; then
    cat "$work/kelvado.out" >&2
    fail "no log header in $folder"
  fi
  head -2 "$folder/Kelvado.LOG"
}

echo "== Start it from a terminal in a scratch folder"
mkdir "$work/scratch"
start_and_see_log "$work/scratch" "$work/scratch" /usr/bin/kelvado

echo "== Start it as the desktop menu does, for a user without a videos folder yet"
read -ra command <<<"$(sed -n 's/^Exec=//p' "$entry")"
[[ "${command[0]}" == kelvado ]] || fail "the desktop entry starts '${command[0]}'"
mkdir "$work/home"
start_and_see_log / "$work/home/Videos/Kelvado" \
  env HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" /usr/bin/kelvado "${command[@]:1}"

echo "== Remove it with apt-get"
"${apt[@]}" remove kelvado >/dev/null
installed && fail "kelvado is still installed"
left=0
while read -r path; do
  [[ -e "$path" || -L "$path" ]] || continue
  # A folder stays while other packages' files are in it.
  if [[ -d "$path" && ! -L "$path" ]] && { [[ -n "$(ls -A "$path")" ]] || dpkg-query -S "$path" >/dev/null 2>&1; }; then
    continue
  fi
  echo "left behind: $path" >&2
  left=1
done <"$work/files"
((left == 0)) || fail "files of the package are left after its removal"
echo "Removed; no file of it is left."
