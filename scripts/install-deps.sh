#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need. Idempotent: does nothing
# when every package is present. Works as root and through sudo. Given package names, installs
# those instead (scripts/install-bench-deps.sh uses it for the benchmarks' own packages).
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang libclang-rt-dev clang-format
  libsdl2-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri
  libfreetype-dev libfontconfig-dev fonts-liberation
  libgtest-dev libbenchmark-dev libpng-dev libstb-dev lib3ds-dev libassimp-dev
  xvfb xauth xdotool libx11-dev desktop-file-utils
)
[ $# -gt 0 ] && packages=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null; then
  sudo=(sudo)
else
  echo "$(basename "$0"): missing packages (${missing[*]}); run this script as root or install sudo" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
