#!/bin/sh
# Runs every benchmark of the project against the build in $1 (default:
# build).  Each benchmark measures its cases side by side in one run and
# prints ratios, so figures from different machines stay comparable.
set -eu
BUILD=${1:-build}
# The benchmarks draw nothing on a screen: they run headless unless told
# otherwise.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
BIN="$BUILD/bin"
status=0
for bench in "$BIN"/bench_*; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "$bench" || status=1
    echo
done
for runner in bench/*/run.sh; do
    [ -f "$runner" ] || continue
    echo "== $runner"
    sh "$runner" "$BUILD" || status=1
    echo
done
exit $status
