#!/usr/bin/env bash
# Builds the dev configuration (warnings as errors) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev -j2
