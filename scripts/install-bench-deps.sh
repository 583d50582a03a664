#!/usr/bin/env bash
# Installs the peer engines the side-by-side benchmark draws with (OpenSceneGraph with its .3ds
# plug-in, Irrlicht). Only the benchmarks need them: the game, its tests and its tools never do.
# Idempotent, as root or through sudo: scripts/install-deps.sh does the installing.
set -euo pipefail
exec "$(dirname "$0")/install-deps.sh" libopenscenegraph-dev libirrlicht-dev
