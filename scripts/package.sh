#!/usr/bin/env bash
# Builds the release configuration, makes the Debian package
# build/release/vorn_<version>_<arch>.deb and checks it with lintian. Installs
# what it needs first, the Debian tools included.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh dpkg-dev file lintian
cmake --preset release >/dev/null
cmake --build --preset release
cpack --config build/release/CPackConfig.cmake -B build/release
deb=$(ls -t build/release/vorn_*_"$(dpkg --print-architecture)".deb | head -1)
lintian --fail-on error,warning "$deb"
echo "made $deb"
