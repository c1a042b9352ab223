#!/bin/sh
# Runs every fuzz target for FUZZ_SECONDS (default 60) each, one after the
# other, and fails if any of them finds a crash, a leak, a hang (-timeout),
# runs out of memory (-rss_limit_mb) or trips a sanitizer.  Each target
# starts from its committed seeds (fuzz/corpus/<target>, and the samples and
# golden scripts of the project where they fit) plus whatever the
# earlier runs in this build folder found (BUILD/corpus/<target>); inputs
# that fail are kept as BUILD/artifacts/<target>-*.
#
#   sh fuzz/run.sh BUILD_DIR [TARGET...]
set -u

BUILD=${1:?usage: run.sh BUILD_DIR [TARGET...]}
shift
SECONDS_EACH=${FUZZ_SECONDS:-60}
RSS_LIMIT_MB=${FUZZ_RSS_LIMIT_MB:-2048}
TIMEOUT=${FUZZ_TIMEOUT:-20}
HERE=$(cd "$(dirname "$0")" && pwd)

TARGETS=${*:-"character_file tag_list split_text profile script_compile script_run rtf table_format print_object picture"}

# The project's own samples seed the targets too, read in place rather than
# copied into fuzz/corpus.
seeds_for() {
    case $1 in
        character_file) echo "$HERE/../data/characters" ;;
        script_*) echo "$HERE/../tests/script/golden" ;;
    esac
}

dict_for() {
    case $1 in
        script_*) echo "-dict=$HERE/vbscript.dict" ;;
        rtf | print_object) echo "-dict=$HERE/rtf.dict" ;;
    esac
}

mkdir -p "$BUILD/artifacts" "$BUILD/logs"
summary=""
failed=0
for t in $TARGETS; do
    bin="$BUILD/bin/fuzz_$t"
    log="$BUILD/logs/$t.log"
    work="$BUILD/corpus/$t"
    mkdir -p "$work"
    echo "fuzz: $t for ${SECONDS_EACH}s" >&2
    # shellcheck disable=SC2046
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$bin" -max_total_time="$SECONDS_EACH" -rss_limit_mb="$RSS_LIMIT_MB" -timeout="$TIMEOUT" \
        -max_len=8192 -print_final_stats=1 $(dict_for "$t") \
        -artifact_prefix="$BUILD/artifacts/$t-" "$work" "$HERE/corpus/$t" $(seeds_for "$t") >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    took=$(sed -n 's/.*Done \([0-9]*\) runs in \([0-9]*\) second.*/\2/p' "$log" | tail -n 1)
    if [ "$status" -eq 0 ] && ! grep -q -E 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log"; then
        result="no findings"
    else
        result="FAILED (status $status, see $log)"
        failed=1
        grep -E -m 3 'ERROR:|runtime error:|SUMMARY' "$log" >&2
    fi
    summary="$summary$(printf '%-16s %12s executions %6ss  %s' "$t" "${runs:-?}" "${took:-?}" "$result")
"
done
printf '%s' "$summary"
exit $failed
