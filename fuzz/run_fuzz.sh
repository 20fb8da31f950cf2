#!/bin/sh
# Runs every fuzz target (or those named) for SECONDS each on its seed corpus, one after another, and fails
# on the first crash, leak, hang or broken check: sh run_fuzz.sh BUILD SECONDS [TARGET...]
# BUILD is a build folder configured with -DQUILLMARSH_FUZZ=ON and built. The seeds are made afresh in
# BUILD/fuzz-seeds; what a run finds stays in BUILD/fuzz-corpus/TARGET, and an input that failed in
# BUILD/fuzz-artifacts/.
set -eu
build=$(cd "${1:?usage: run_fuzz.sh BUILD SECONDS [TARGET...]}" && pwd)
seconds=${2:?usage: run_fuzz.sh BUILD SECONDS [TARGET...]}
shift 2
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -eq 0 ]; then
    set -- $(cd "$build/fuzz" && ls fuzz-* | sed 's/^fuzz-//')
fi
sh "$here/make_seeds.sh" "$build" "$build/fuzz-seeds"
mkdir -p "$build/fuzz-artifacts" "$build/fuzz-logs"
failed=
for target in "$@"; do
    program=$build/fuzz/fuzz-$target
    [ -x "$program" ] || { echo "run_fuzz: no program $program" >&2; exit 1; }
    # The recording is read by the script reader, so it shares the script's words.
    dict=$here/dict/$(echo "$target" | sed 's/^recording$/input-script/' | tr - _).dict
    dictarg=
    [ -f "$dict" ] && dictarg=-dict=$dict
    corpus=$build/fuzz-corpus/$target
    log=$build/fuzz-logs/$target.log
    mkdir -p "$corpus"
    rm -f "$build/fuzz-artifacts/$target-"*
    echo "==== fuzz-$target: $seconds s"
    # Each run starts from the corpus so far and the seeds; the new inputs it finds go to the corpus.
    status=0
    "$program" ${dictarg:+"$dictarg"} -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-artifacts/$target-" "$corpus" "$build/fuzz-seeds/$target" \
        >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$log"
        echo "run_fuzz: fuzz-$target failed (status $status); the input is in $build/fuzz-artifacts" >&2
        failed="$failed $target"
    else
        grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' \
            "$log" || true
    fi
done
if [ -n "$failed" ]; then
    echo "run_fuzz: failed:$failed" >&2
    exit 1
fi
echo "run_fuzz: every target ran $seconds s without a finding"
