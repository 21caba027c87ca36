#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kelvado in a fresh scratch working
# directory with the simulated recorder on PATH. Without a display it walks
# through the main job on a virtual display and prints what the window shows.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
bash scripts/install-deps.sh
bash scripts/build.sh default kelvado kelvado-walkthrough Tolvane Tamrick

scratch="$repo/scratch/run-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$scratch"
export PATH="$repo/build/recorder-bin:$PATH"
cd "$scratch"
echo "Working directory: $scratch"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec "$repo/build/kelvado"
fi

echo "No display found: walking through Kelvado's main job on a virtual display."
exec xvfb-run -a -s "-screen 0 1280x800x24" "$repo/build/kelvado-walkthrough" "$scratch"
