#!/usr/bin/env bash
# Builds the Debian package kelvado_<version>_<arch>.deb from scratch in the
# given folder (default: build-package) and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$(realpath -m "${1:-build-package}")"
KELVADO_PACKAGE=1 bash scripts/install-deps.sh >&2
rm -rf "$dir"
cmake --preset package -B "$dir" >&2
cmake --build "$dir" -j "$(nproc)" --target kelvado kelvado-docs >&2
(cd "$dir" && cpack --config CPackConfig.cmake >&2)
ls "$dir"/kelvado_*.deb
