#!/usr/bin/env bash
# Prints every figure of the program: the rules, the computer player, self-play,
# network sync, start-up, memory and idle behaviour. Release build; figures only.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
bin=build/release/bin
export QT_QPA_PLATFORM=offscreen
echo "== hand rules"
"$bin/bench_rules" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>/dev/null | grep -E 'median'
echo "== computer player"
"$bin/bench_ai" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>/dev/null | grep -E 'median'
echo "== self-play"
"$bin/vorn-selfplay" --games 20000 --seed 1
if [ -x "$bin/bench_net" ]; then
  echo "== network"
  "$bin/bench_net"
fi
if [ -x "$bin/bench_chat" ]; then
  echo "== chat log"
  "$bin/bench_chat"
fi
echo "== whole program (offscreen)"
"$bin/vorn-probe" 5000
if command -v xvfb-run >/dev/null; then
  echo "== whole program (Xvfb)"
  QT_QPA_PLATFORM=xcb xvfb-run -a "$bin/vorn-probe" 5000 2>/dev/null
fi
