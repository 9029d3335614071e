#!/usr/bin/env bash
# Builds the fuzz harnesses and runs each for a bounded time (seconds, 60 by
# default) from the seed corpus. Fails on any crash, sanitizer report,
# timeout, memory blow-up, disagreement between the two paths or between
# one thread and several.
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/../.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The command harnesses take an operation byte before the grid text.
mkdir -p "$work/prefixed"
for seed in tests/fuzz/corpus/*; do
    for op in 00 01 02 83; do
        { printf "\\x$op"; cat "$seed"; } > "$work/prefixed/$op-$(basename "$seed")"
    done
done

status=0
for harness in FuzzReader FuzzOverlay FuzzDifferential FuzzOps FuzzCalc FuzzGzip; do
    case $harness in
        FuzzReader) seeds=tests/fuzz/corpus ;;
        FuzzOps) seeds=tests/fuzz/ops-corpus ;;
        FuzzCalc) seeds=tests/fuzz/calc-corpus ;;
        FuzzGzip) seeds=tests/fuzz/gzip-corpus ;;
        *) seeds="$work/prefixed" ;;
    esac
    if [ ! -x "build/fuzz/tests/fuzz/$harness" ]; then
        echo "fuzz $harness: not built here (its library is missing)"
        continue
    fi
    mkdir -p "$work/$harness"
    if build/fuzz/tests/fuzz/$harness -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/$harness-" \
        "$work/$harness" "$seeds" > "$work/$harness.log" 2>&1; then
        runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$work/$harness.log" | grep -o '[0-9]*$')
        echo "fuzz $harness: $runs executions in $seconds s, no failure"
    else
        echo "fuzz $harness: FAILED"
        tail -n 40 "$work/$harness.log"
        for crash in "$work/$harness"-*; do
            [ -e "$crash" ] && { echo "input ($crash):"; od -c "$crash" | head -n 20; }
        done
        status=1
    fi
done
exit $status
