#!/bin/sh
# Runs each benchmark program with quillet-script and with python3, side by
# side, checks that both print the same result, and prints the time ratio.
# Usage: bench/script/run.sh <build dir>
set -e
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
tool="$build/bin/quillet-script"
if [ ! -x "$tool" ]; then
    echo "quillet-script not found in $build/bin (build the quillet-script target first)" >&2
    exit 1
fi
if ! command -v python3 >/dev/null 2>&1; then
    echo "python3 is needed for the comparison" >&2
    exit 1
fi

now() { date +%s.%N; }

# Best of three runs, in seconds.
best() {
    best_t=""
    for _ in 1 2 3; do
        start=$(now)
        "$@" > /tmp/quillet-bench-out.$$ 2>&1
        end=$(now)
        t=$(awk "BEGIN { print $end - $start }")
        if [ -z "$best_t" ] || [ "$(awk "BEGIN { print ($t < $best_t) }")" = 1 ]; then best_t=$t; fi
    done
    echo "$best_t"
}

printf "%-18s %10s %10s %8s  %s\n" benchmark vbscript python3 ratio result
status=0
for vbs in "$here"/*.vbs; do
    name=$(basename "$vbs" .vbs)
    py="$here/$name.py"
    [ -f "$py" ] || continue
    ours=$(best "$tool" "$vbs")
    ours_out=$(cat /tmp/quillet-bench-out.$$)
    theirs=$(best python3 "$py")
    theirs_out=$(cat /tmp/quillet-bench-out.$$)
    ratio=$(awk "BEGIN { print $ours / $theirs }")
    same="same"
    if [ "$ours_out" != "$theirs_out" ]; then same="DIFFERENT: '$ours_out' vs '$theirs_out'"; status=1; fi
    printf "%-18s %9.3fs %9.3fs %8.2f  %s\n" "$name" "$ours" "$theirs" "$ratio" "$same"
done
rm -f /tmp/quillet-bench-out.$$
echo "(ratio = vbscript time / python3 time; below 1 means faster than python3)"
exit $status
