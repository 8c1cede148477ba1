#!/usr/bin/env bash
# Builds the release configuration and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release
exec ./build/release/bin/vorn "$@"
