#!/usr/bin/env bash
# The house rules of the code: every file as clang-format writes it, and the
# pure libraries clean under clang-tidy (.clang-tidy) with the dev build's
# compile commands. Run after the dev build.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/dev}"

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
echo "+ clang-format --dry-run -Werror (${#sources[@]} files)"
clang-format --dry-run -Werror "${sources[@]}"

mapfile -t pure < <(git ls-files 'cards/*.cpp' 'ai/*.cpp' 'game/*.cpp' 'net/*.cpp' | grep -v '^net/socket/')
echo "+ clang-tidy (${#pure[@]} files of the pure libraries)"
printf '%s\n' "${pure[@]}" | xargs -P2 -n4 clang-tidy -p "$build" --quiet \
    --extra-arg=-Wno-unknown-warning-option 2>/dev/null
echo "lint: clean"
