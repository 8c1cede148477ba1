#!/usr/bin/env bash
# The English catalogue, translations/vorn_en.ts, against the sources.
#   scripts/translations.sh update   brings new texts into the catalogue (keeps
#                                    what is translated, drops what no source has)
#   scripts/translations.sh check    fails when a text the person may see has no
#                                    English: the catalogue is behind the sources,
#                                    a message is unfinished, or a Chinese literal
#                                    is not marked for translation
# Chinese is the source language; every text shown goes through the catalogue.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate="${LUPDATE:-$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)}"
ts=translations/vorn_en.ts
dirs=(app display game cards net ai)

run_lupdate() {
    "$lupdate" -silent -locations none -no-obsolete -source-language zh_CN -target-language en "${dirs[@]}" -ts "$1"
}

case "${1:-check}" in
update)
    run_lupdate "$ts"
    echo "updated $ts; translate what it marks unfinished"
    ;;
check)
    failed=0
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
    cp "$ts" "$work/vorn_en.ts"
    run_lupdate "$work/vorn_en.ts"
    if ! diff -u "$ts" "$work/vorn_en.ts" >"$work/diff"; then
        echo "$ts is behind the sources (run scripts/translations.sh update and translate):"
        grep '^[-+] *<source>' "$work/diff" || cat "$work/diff"
        failed=1
    fi
    if grep -n -B2 'type="unfinished"\|<translation></translation>\|<translation/>' "$ts"; then
        echo "untranslated messages in $ts"
        failed=1
    fi
    # A Chinese string literal outside QT_TRANSLATE_NOOP (or its counted
    # form, QT_TRANSLATE_N_NOOP) would reach the screen
    # untranslated; names carry an "untranslated:" note saying why they may.
    mapfile -t sources < <(find "${dirs[@]}" -name '*.cpp' -o -name '*.h' | sort)
    if perl -CSD -ne 'next if /QT_TRANSLATE_N?_?NOOP|untranslated:/; s{//.*$}{};
            if (/"[^"]*[\x{4e00}-\x{9fff}]/) { print "$ARGV:$.: $_"; $bad = 1 }
            close ARGV if eof; END { exit($bad ? 0 : 1) }' "${sources[@]}"; then
        echo "Chinese texts above are not marked for translation"
        failed=1
    fi
    [ "$failed" = 0 ] && echo "translations: complete"
    exit "$failed"
    ;;
*)
    echo "usage: $0 [update|check]" >&2
    exit 2
    ;;
esac
