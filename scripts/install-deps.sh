#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when some are missing.
# With the argument "sanitize" also the compiler of the sanitizer and fuzzing builds.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  qt6-base-dev libgl-dev libxkbcommon-dev qt6-l10n-tools
  zlib1g-dev libminizip-dev libsqlite3-dev
  libgtest-dev googletest
  libssl-dev openssl zip unzip
  7zip libdeflate-dev
  librsvg2-bin dpkg-dev
)
if [ "${1:-}" = "sanitize" ]; then
  packages+=(clang libclang-rt-dev lld)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing Debian packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
