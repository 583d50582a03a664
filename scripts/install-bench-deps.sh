#!/usr/bin/env bash
# Installs the peer engines the side-by-side benchmark draws with (OpenSceneGraph with its .3ds
# plug-in, Irrlicht). Only the benchmarks need them: the game, its tests and its tools never do.
# Idempotent, as root or through sudo, like scripts/install-deps.sh.
set -euo pipefail

packages=(libopenscenegraph-dev libirrlicht-dev)

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
  echo "install-bench-deps.sh: missing packages (${missing[*]}); run this script as root or install sudo" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}"
