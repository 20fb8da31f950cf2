#!/bin/sh
# The golden replay: a recorded session played by quillmarsh-sim in a fresh copy of the generated asset tree
# must end on the committed final trace line, palette and picture hashes included. A change that moves one
# pixel, one random draw or one frame fails here.
#
# usage: golden_replay_test.sh QUILLMARSH-SIM BUILD-DIR
# A deliberate change (new pictures, say) updates tests/tools/golden/final_line.jsonl with the line this
# prints, committed with the reason.
set -eu
sim=$1
build=$2
golden=$(dirname "$0")/golden
# The session's last frame is 5999; its recording ends with the close at 6000, and the limit stops a run
# that would go on anyway.
frames=6000

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for folder in bmp data wave; do
    cp -R "$build/$folder" "$work/$folder"
done
"$sim" --dir "$work" --input "$golden/session.txt" --frames "$frames" --trace "$work/trace.jsonl"

lines=$(wc -l <"$work/trace.jsonl")
if [ "$lines" -ne "$frames" ]; then
    echo "golden replay: $lines frames ran, $frames expected" >&2
    exit 1
fi
actual=$(tail -n 1 "$work/trace.jsonl")
expected=$(cat "$golden/final_line.jsonl")
if [ "$actual" != "$expected" ]; then
    echo "golden replay: the final frame differs" >&2
    echo "expected: $expected" >&2
    echo "actual:   $actual" >&2
    exit 1
fi
echo "golden replay: frame $((frames - 1)) as recorded"
