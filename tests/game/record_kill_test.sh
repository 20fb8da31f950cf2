#!/bin/sh
# The record's save killed with SIGKILL at random moments: afterwards user_data/Record.dat is always whole
# (4 bytes, the old value or the new one), the next start reads it and saves again whatever temporary file
# the kill left, and the game itself plays a game over to a saved record past such a leftover.
#
# usage: record_kill_test.sh QUILLMARSH-RECORD-SAVE-LOOP QUILLMARSH-SIM BUILD-DIR GOLDEN-DIR
# KILLS in the environment sets the number of kills (default 50).
set -u
# The script works in a folder of its own: names given relative to where it was started are made whole.
whole() { case $1 in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
helper=$(whole "$1")
sim=$(whole "$2")
build=$(whole "$3")
golden=$(whole "$4")
kills=${KILLS:-50}
work=$(mktemp -d) || exit 1
pid=""
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir user_data
fail=0
record=user_data/Record.dat

record_value() { od -An -td4 "$record" | tr -d ' '; }
# A first record to keep: 1000, little-endian.
printf '\350\003\000\000' >"$record"

during=0 between=0 before=0 stale_saved=0
i=0
while [ "$i" -lt "$kills" ]; do
    i=$((i + 1))
    old=$(record_value)
    stale=""
    [ -e "$record.tmp" ] && stale=yes
    : >log
    # Up to 60 ms: the program takes a few to start, then saves (each save about as long as the pause
    # after it), so kills land before the first save, inside saves and between them.
    delay=$(($(od -An -tu2 -N2 /dev/urandom | tr -d ' ') % 60000))
    "$helper" log 30 2>err &
    pid=$!
    sleep "$(printf '0.%06d' "$delay")"
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=""
    if [ -s err ]; then
        echo "FAIL: kill $i: the save said:"
        cat err
        fail=1
    fi
    size=$(wc -c <"$record" | tr -d ' ')
    if [ "$size" -ne 4 ]; then
        echo "FAIL: kill $i after ${delay} us: the record has $size bytes"
        fail=1
        printf '\350\003\000\000' >"$record"
        continue
    fi
    value=$(record_value)
    read_line=$(head -n 1 log)
    if [ -n "$read_line" ] && [ "$read_line" != "read $old" ]; then
        echo "FAIL: kill $i: the record read back as '$read_line', $old was left"
        fail=1
    fi
    last=$(tail -n 1 log)
    saved=${last#* }
    case "$last" in
    "begin "*)
        during=$((during + 1))
        [ "$value" -eq "$saved" ] || [ "$value" -eq $((saved - 1)) ] ||
            { echo "FAIL: kill $i during save $saved: the record holds $value"; fail=1; }
        ;;
    "end "*)
        between=$((between + 1))
        [ "$value" -eq "$saved" ] || { echo "FAIL: kill $i after save $saved: the record holds $value"; fail=1; }
        ;;
    *)
        before=$((before + 1))
        [ "$value" -eq "$old" ] || { echo "FAIL: kill $i before any save: the record holds $value"; fail=1; }
        ;;
    esac
    [ -n "$stale" ] && grep -q '^end ' log && stale_saved=$((stale_saved + 1))
done

# Unkilled, the next start reads what the last kill left and saves past a leftover temporary file (one
# half-written, as a kill inside the write leaves it, when the last kill left none).
old=$(record_value)
[ -e "$record.tmp" ] || printf '\011\000' >"$record.tmp"
: >log
if ! "$helper" log 0 2>err || [ -s err ] || [ "$(head -n 1 log)" != "read $old" ] ||
    [ "$(record_value)" -ne $((old + 1)) ] || [ -e "$record.tmp" ]; then
    echo "FAIL: the start after the kills: record $(record_value) (was $old), log:"
    cat log err
    ls -l user_data
    fail=1
fi

# The game itself: a record of 0 and a temporary file a killed save left behind; the recorded session's
# game over sets a record of 1.
mkdir game game/user_data
for folder in bmp data wave; do
    cp -R "$build/$folder" "game/$folder"
done
printf '\000\000\000\000' >game/user_data/Record.dat
printf '\007\000' >game/user_data/Record.dat.tmp
"$sim" --dir game --input "$golden/session.txt" --frames 6000 >out 2>err
rc=$?
if [ "$rc" -ne 0 ] || [ -s err ] || [ "$(od -An -td4 game/user_data/Record.dat | tr -d ' ')" != 1 ] ||
    [ -e game/user_data/Record.dat.tmp ]; then
    echo "FAIL: the game over past a leftover temporary file: exit status $rc"
    cat err
    od -An -td4 game/user_data/Record.dat
    ls -l game/user_data
    fail=1
fi

echo "record_kill: $kills kills: $during during a save, $between between saves, $before before the first;" \
    "$stale_saved starts found a leftover Record.dat.tmp and saved past it"
[ "$during" -gt 0 ] || { echo "FAIL: no kill landed during a save"; fail=1; }
exit $fail
