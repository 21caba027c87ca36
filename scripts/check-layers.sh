#!/usr/bin/env bash
# The core must build against QtCore alone and never reach into the windows:
# every quoted include of a file under src/core names a file under src/core,
# and every Qt header it includes is one of QtCore's. Prints each offending
# line; exit status 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
qtcore=$(dirname "$(find /usr/include -path '*qt6/QtCore/QString' -print -quit)")
[[ -d $qtcore ]] || { echo "QtCore headers not found under /usr/include" >&2; exit 2; }
bad=0
while IFS=: read -r file line text; do
  if [[ $text =~ \#include[[:space:]]*\"([^\"]+)\" ]]; then
    inc=${BASH_REMATCH[1]}
    [[ -f src/core/$inc || -f $(dirname "$file")/$inc ]] && continue
  elif [[ $text =~ \#include[[:space:]]*\<(Q[A-Za-z]+)\> ]]; then
    [[ -f $qtcore/${BASH_REMATCH[1]} ]] && continue
  else
    continue
  fi
  echo "$file:$line: $text"
  bad=1
done < <(grep -rn '^[[:space:]]*#[[:space:]]*include' src/core)
[[ $bad == 0 ]] && echo "src/core: every include is QtCore's or the core's own"
exit $bad
