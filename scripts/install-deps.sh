#!/usr/bin/env bash
# Installs the Debian packages Kelvado needs to build, test and show its window.
# Installs only what is missing, so a second run is quick.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl-dev libssl-dev fonts-dejavu-core
          xvfb xauth dbus desktop-file-utils appstream)
if [[ "${KELVADO_FUZZ:-0}" == 1 ]]; then
  packages+=(clang libclang-rt-14-dev)
fi
# Static analysis (scripts/static-analysis.sh).
if [[ "${KELVADO_ANALYSIS:-0}" == 1 ]]; then
  packages+=(clang-tidy clazy)
fi
# The Debian package: dpkg-shlibdeps finds its dependencies, and CPack tells binaries with file.
if [[ "${KELVADO_PACKAGE:-0}" == 1 ]]; then
  packages+=(dpkg-dev file)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [[ $(id -u) -ne 0 ]]; then
    echo "Missing packages need root: run as root, or: sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
