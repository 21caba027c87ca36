#!/usr/bin/env bash
# Configures and builds Kelvado with the given CMake preset (default: "default"),
# either everything or only the targets named after the preset.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
shift || true
cmake --preset "$preset" >/dev/null
if (($#)); then
  cmake --build --preset "$preset" -j "$(nproc)" --target "$@"
else
  cmake --build --preset "$preset" -j "$(nproc)"
fi
