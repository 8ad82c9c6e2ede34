#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running ethconf need, and only those
# that are missing. Safe to run again; asks nothing.
set -euo pipefail

packages=(
  g++ cmake ninja-build git           # compiler and build tools
  qt6-base-dev qt6-translations-l10n   # the window, and Qt's own texts in the user's language
  libgtest-dev libgmock-dev            # unit tests
  clang libclang-rt-14-dev             # libFuzzer and the sanitizer runtimes for clang
  xvfb xauth                           # a virtual display for the run command and screenshots
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "ethconf: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "ethconf: cannot install ${missing[*]}: not root and sudo is not available." >&2
  echo "ethconf: ask an administrator to run: apt-get install ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if ! "${sudo[@]}" apt-get update -qq ||
   ! "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
  echo "ethconf: installing ${missing[*]} failed; see the apt-get messages above." >&2
  exit 1
fi
