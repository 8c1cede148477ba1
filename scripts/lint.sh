#!/usr/bin/env bash
# The house rules of the code: every file as clang-format writes it, and every
# production source clean under clang-tidy (.clang-tidy) with the dev build's
# compile commands. Run after the dev build.
#   scripts/lint.sh [--tidy-only] [build folder, default build/dev]
set -euo pipefail
cd "$(dirname "$0")/.."
format=1
if [ "${1:-}" = "--tidy-only" ]; then format=0; shift; fi
build="${1:-build/dev}"

if [ "$format" = 1 ]; then
    mapfile -t sources < <(git ls-files '*.cpp' '*.h')
    echo "+ clang-format --dry-run -Werror (${#sources[@]} files)"
    clang-format --dry-run -Werror "${sources[@]}"
fi

# Every production source; the fuzz entry points are compiled with their own
# definitions, which the dev build's commands do not carry.
mapfile -t sources < <(git ls-files 'cards/*.cpp' 'ai/*.cpp' 'game/*.cpp' 'net/*.cpp' 'display/*.cpp' 'app/*.cpp' \
    'tools/*.cpp' | grep -v '^tools/fuzz/fuzz_')
echo "+ clang-tidy (${#sources[@]} files)"
printf '%s\n' "${sources[@]}" | xargs -P2 -n4 clang-tidy -p "$build" --quiet \
    --extra-arg=-Wno-unknown-warning-option 2>/dev/null
echo "lint: clean"
