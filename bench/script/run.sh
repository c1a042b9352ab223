#!/bin/sh
# Runs each benchmark program with quillet-script, with python3 and with
# lua5.4, side by side, checks that all print the same result, and prints
# the time ratios.  Times are processor seconds (user + system), best of
# five runs.  Without lua5.4 installed the Lua column is left out.
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
lua=lua5.4
if ! command -v "$lua" >/dev/null 2>&1; then
    echo "lua5.4 is not installed: the Lua column is left out (Debian package lua5.4)"
    lua=""
fi

out=/tmp/quillet-bench-out.$$
trap 'rm -f "$out"' EXIT

# Best of five runs, in processor seconds; the last run's output is in $out.
best() {
    best_t=""
    for _ in 1 2 3 4 5; do
        t=$(python3 "$here/cpu_time.py" "$out" "$@") || true
        if [ -z "$best_t" ] || [ "$(awk "BEGIN { print ($t < $best_t) }")" = 1 ]; then best_t=$t; fi
    done
    echo "$best_t"
}

printf "%-16s %9s %9s %9s %8s %8s  %s\n" benchmark vbscript python3 lua5.4 /python /lua result
status=0
for vbs in "$here"/*.vbs; do
    name=$(basename "$vbs" .vbs)
    py="$here/$name.py"
    [ -f "$py" ] || continue
    ours=$(best "$tool" "$vbs")
    ours_out=$(cat "$out")
    theirs=$(best python3 "$py")
    same="same"
    if [ "$ours_out" != "$(cat "$out")" ]; then same="DIFFERENT from python3: '$ours_out' vs '$(cat "$out")'"; status=1; fi
    lua_t="-"
    lua_ratio="-"
    if [ -n "$lua" ] && [ -f "$here/$name.lua" ]; then
        lua_t=$(best "$lua" "$here/$name.lua")
        if [ "$ours_out" != "$(cat "$out")" ]; then same="DIFFERENT from lua5.4: '$ours_out' vs '$(cat "$out")'"; status=1; fi
        lua_ratio=$(awk "BEGIN { printf \"%.2f\", $ours / $lua_t }")
        lua_t=$(awk "BEGIN { printf \"%.3fs\", $lua_t }")
    fi
    ratio=$(awk "BEGIN { printf \"%.2f\", $ours / $theirs }")
    printf "%-16s %8.3fs %8.3fs %9s %8s %8s  %s\n" "$name" "$ours" "$theirs" "$lua_t" "$ratio" "$lua_ratio" "$same"
done
echo "(ratio = vbscript time / the other's time; below 1 means faster than it)"
exit $status
