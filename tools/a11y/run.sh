#!/bin/bash
# Runs the program on a virtual display with an accessibility bus of its own
# and saves what a screen reader finds there: the logon dialog, then the whole
# application after the logon OK and a deal.
#   tools/a11y/run.sh [program] [output folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=${1:-$here/../../build/a11y/bin/vorn}
out=${2:-.}
if [ -z "${VORN_A11Y_INSIDE:-}" ]; then
    export VORN_A11Y_INSIDE=1
    exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$program" "$out"
fi
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 QT_QPA_PLATFORM=xcb NO_AT_BRIDGE=0
/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
sleep 1
"$program" &
app=$!
trap 'kill $app $launcher 2>/dev/null || true' EXIT
dump() { /usr/bin/python3 "$here/dump_tree.py" "$@"; }
dump wait 确定 --role "push button" > /dev/null
dump dump --window 登录 > "$out/logon.txt"
dump do 确定 --role "push button"
dump do "发牌*" --role "menu item"
sleep 3
dump dump > "$out/table.txt"
# Once the computer seats have led, choose the first card of the hand the way
# a screen reader's user would, and list the table again.
sleep 5
dump do "*" --role "check box"
sleep 1
dump dump > "$out/chosen.txt"
# Play it with the play button and let the others answer.
dump do OK --role "push button"
sleep 4
dump dump > "$out/played.txt"
echo "saved logon.txt, table.txt, chosen.txt and played.txt in $out"
