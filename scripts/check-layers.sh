#!/usr/bin/env bash
# The core must build against QtCore alone and never reach into the windows:
# every quoted include of a file under src/core names a file under src/core,
# and every Qt header it includes is one of QtCore's. The desktop companions
# (src/desktop) and the command half (src/cli) need no widgets either: they
# include the core's, their own and their layer's headers, and only QtCore's
# and QtDBus's. Prints each offending line; exit status 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
qtcore=$(dirname "$(find /usr/include -path '*qt6/QtCore/QString' -print -quit)")
[[ -d $qtcore ]] || { echo "QtCore headers not found under /usr/include" >&2; exit 2; }
qtdbus=$(dirname "$qtcore")/QtDBus
bad=0
# check FOLDER QT-HEADER-FOLDERS... : quoted includes must lie in src/core, beside
# the file, or (for the upper layers) under src/desktop or src/cli.
check() {
  local folder=$1; shift
  while IFS=: read -r file line text; do
    if [[ $text =~ \#include[[:space:]]*\"([^\"]+)\" ]]; then
      inc=${BASH_REMATCH[1]}
      [[ -f src/core/$inc || -f $(dirname "$file")/$inc ]] && continue
      [[ $folder != src/core && ( -f src/$inc && $inc == desktop/* || -f src/cli/$inc ) ]] && continue
    elif [[ $text =~ \#include[[:space:]]*\<(Q[A-Za-z]+)\> ]]; then
      for qt in "$@"; do [[ -f $qt/${BASH_REMATCH[1]} ]] && continue 2; done
    else
      continue
    fi
    echo "$file:$line: $text"
    bad=1
  done < <(grep -rn '^[[:space:]]*#[[:space:]]*include' "$folder")
}
check src/core "$qtcore"
check src/desktop "$qtcore" "$qtdbus"
check src/cli "$qtcore" "$qtdbus"
[[ $bad == 0 ]] && echo "src/core, src/desktop, src/cli: every include is of their layers and of QtCore or QtDBus"
exit $bad
