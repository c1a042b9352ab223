#!/bin/sh
# Runs each benchmark program with quillet-script, with python3 and with
# lua5.4, side by side, checks that all print the same result, and prints
# the time ratios.  Times are processor seconds (user + system), the best
# of seven rounds in which the three take turns.  Without lua5.4 installed
# the Lua column is left out.
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
trap 'rm -f "$out".ours "$out".python "$out".lua' EXIT

# Each program runs in rounds, the contestants taking turns within a round,
# so that a slow spell of the machine falls on all of them alike; each
# one's time is its best round, in processor seconds.  Each one's output of
# its last round is kept in $out.<contestant> for the comparison.
rounds=7
better() { awk "BEGIN { print ($1 < $2) }"; }

printf "%-16s %9s %9s %9s %8s %8s  %s\n" benchmark vbscript python3 lua5.4 /python /lua result
status=0
for vbs in "$here"/*.vbs; do
    name=$(basename "$vbs" .vbs)
    py="$here/$name.py"
    [ -f "$py" ] || continue
    luaprog=""
    if [ -n "$lua" ] && [ -f "$here/$name.lua" ]; then luaprog="$here/$name.lua"; fi
    ours=""; theirs=""; lua_best=""
    for _ in $(seq "$rounds"); do
        t=$(python3 "$here/cpu_time.py" "$out.ours" "$tool" "$vbs") || true
        if [ -z "$ours" ] || [ "$(better "$t" "$ours")" = 1 ]; then ours=$t; fi
        t=$(python3 "$here/cpu_time.py" "$out.python" python3 "$py") || true
        if [ -z "$theirs" ] || [ "$(better "$t" "$theirs")" = 1 ]; then theirs=$t; fi
        if [ -n "$luaprog" ]; then
            t=$(python3 "$here/cpu_time.py" "$out.lua" "$lua" "$luaprog") || true
            if [ -z "$lua_best" ] || [ "$(better "$t" "$lua_best")" = 1 ]; then lua_best=$t; fi
        fi
    done
    ours_out=$(cat "$out.ours")
    same="same"
    if [ "$ours_out" != "$(cat "$out.python")" ]; then
        same="DIFFERENT from python3: '$ours_out' vs '$(cat "$out.python")'"
        status=1
    fi
    lua_t="-"
    lua_ratio="-"
    if [ -n "$luaprog" ]; then
        if [ "$ours_out" != "$(cat "$out.lua")" ]; then
            same="DIFFERENT from lua5.4: '$ours_out' vs '$(cat "$out.lua")'"
            status=1
        fi
        lua_ratio=$(awk "BEGIN { printf \"%.2f\", $ours / $lua_best }")
        lua_t=$(awk "BEGIN { printf \"%.3fs\", $lua_best }")
    fi
    ratio=$(awk "BEGIN { printf \"%.2f\", $ours / $theirs }")
    printf "%-16s %8.3fs %8.3fs %9s %8s %8s  %s\n" "$name" "$ours" "$theirs" "$lua_t" "$ratio" "$lua_ratio" "$same"
done
echo "(ratio = vbscript time / the other's time; below 1 means faster than it)"
exit $status
