#!/usr/bin/env bash
# The house rules of the code: every file as clang-format writes it, and the
# pure libraries clean under clang-tidy (.clang-tidy) with the dev build's
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

mapfile -t pure < <(git ls-files 'cards/*.cpp' 'ai/*.cpp' 'game/*.cpp' 'net/*.cpp' | grep -v '^net/socket/')
echo "+ clang-tidy (${#pure[@]} files of the pure libraries)"
printf '%s\n' "${pure[@]}" | xargs -P2 -n4 clang-tidy -p "$build" --quiet \
    --extra-arg=-Wno-unknown-warning-option 2>/dev/null
echo "lint: clean"
