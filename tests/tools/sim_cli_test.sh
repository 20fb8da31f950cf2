#!/bin/sh
# quillmarsh-sim as a script calls it: refused scripts and options end with status 2 and the reason before
# anything runs, a run ends with the game's own exit code, a record that cannot be saved is said in one line
# while the game plays on, and QUILLMARSH_RECORD records a run for a replay that gives the same trace and
# picture. $1 = the runner, $2 = a folder holding the game's asset tree.
sim="$1"
assets="$2"
fail=0
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

expect_refusal() { # name, expected stderr line, arguments...
    name=$1 line=$2
    shift 2
    "$sim" "$@" >out 2>err
    rc=$?
    [ "$rc" -eq 2 ] || { echo "FAIL: $name: exit status $rc, expected 2"; cat err; fail=1; }
    head -n 1 err | grep -qxF "$line" || { echo "FAIL: $name: said"; cat err; echo "expected: $line"; fail=1; }
    [ ! -e trace.jsonl ] || { echo "FAIL: $name: a trace was written"; fail=1; }
    rm -f trace.jsonl
}

printf '0: z\n# fine so far\n12: left jx=3\n13: lft\n' >bad.txt
expect_refusal "unknown control" "quillmarsh-sim: bad.txt: line 4: unknown control 'lft' (expected left right up down z x jx=N jy=N jb=N space esc inactive active)" \
    --dir "$assets" --input bad.txt --trace trace.jsonl
printf '5: z\n5: x\n' >order.txt
expect_refusal "frame order" "quillmarsh-sim: order.txt: line 2: frame 5 does not come after frame 5 of line 1" \
    --input order.txt --trace trace.jsonl
expect_refusal "missing script" "quillmarsh-sim: cannot read nowhere.txt: No such file or directory" --input nowhere.txt
expect_refusal "endless script" \
    "quillmarsh-sim: cannot read /dev/zero: it is over 64 MB (it does not end), far more than any script or recording" \
    --input /dev/zero --trace trace.jsonl
expect_refusal "empty script name" "quillmarsh-sim: --input needs a file" --input '' --trace trace.jsonl
expect_refusal "empty trace name" "quillmarsh-sim: --trace needs a file" --trace ''
# What the script holds is repeated escaped: no escape byte reaches the terminal.
printf '0: z\033[2J\n' >escape.txt
expect_refusal "escape in a script" "quillmarsh-sim: escape.txt: line 1: unknown control 'z\\x1B[2J' (expected left right up down z x jx=N jy=N jb=N space esc inactive active)" \
    --input escape.txt --trace trace.jsonl
# A byte-order mark an editor put first is no part of the script.
printf '\357\273\277seed 5\n0: z\n' >bom.txt
"$sim" --dir "$assets" --input bom.txt --frames 2 --trace trace.jsonl >out 2>err
rc=$?
[ "$rc" -eq 0 ] || { echo "FAIL: a script starting with a byte-order mark: exit status $rc"; cat err; fail=1; }
rm -f trace.jsonl
expect_refusal "unknown option" "quillmarsh-sim: unknown option '--fast'" --fast --trace trace.jsonl
expect_refusal "missing folder" "quillmarsh-sim: cannot run in the folder $work/none: it is not a folder" \
    --dir "$work/none" --trace trace.jsonl

# A screenshot never replaces a folder, a device, a pipe or a link to one: refused before the run, and
# the path stays as it was.
mkdir shots
mkfifo pipe
ln -s /dev/null to_device
ln -s pipe to_pipe
for path in shots pipe to_device to_pipe; do
    "$sim" --dir "$assets" --frames 12 --trace trace.jsonl --screenshot "10:$path" >out 2>err
    rc=$?
    [ "$rc" -eq 2 ] || { echo "FAIL: screenshot to $path: exit status $rc, expected 2"; cat err; fail=1; }
    head -n 1 err | grep -q "^quillmarsh-sim: cannot write the screenshot $work/$path: it is a " ||
        { echo "FAIL: screenshot to $path: said"; cat err; fail=1; }
    [ ! -e trace.jsonl ] || { echo "FAIL: screenshot to $path: the run went ahead"; fail=1; }
    rm -f trace.jsonl
done
[ -d shots ] && [ -p pipe ] && [ "$(readlink to_device)" = /dev/null ] && [ "$(readlink to_pipe)" = pipe ] ||
    { echo "FAIL: a refused screenshot path changed"; ls -l; fail=1; }

# A folder without the game's files: the run fails as the game does, saying which file.
mkdir empty
"$sim" --dir empty --frames 5 >out 2>err
rc=$?
[ "$rc" -eq 1 ] || { echo "FAIL: empty folder: exit status $rc, expected 1"; fail=1; }
grep -q '^quillmarsh: cannot read ' err || { echo "FAIL: empty folder: no failure line"; cat err; fail=1; }

# Recorded and replayed from files, each run in a process of its own.
printf 'seed 31337\n0:\n50: z\n52:\n60: z\n62:\n120: right z\n200: down space\n230: down space\n' >play.txt
QUILLMARSH_RECORD=rec.txt "$sim" --dir "$assets" --input play.txt --frames 300 --trace a.jsonl \
    --screenshot 299:a.png >out 2>err
rc=$?
[ "$rc" -eq 0 ] || { echo "FAIL: scripted run: exit status $rc"; cat err; fail=1; }
[ "$(wc -l <a.jsonl)" -eq 300 ] || { echo "FAIL: scripted run: $(wc -l <a.jsonl) trace lines, expected 300"; fail=1; }
head -n 1 rec.txt | grep -qx 'seed 31337' || { echo "FAIL: the recording does not start with its seed"; fail=1; }
tail -n 1 rec.txt | grep -qx '300: down esc' || { echo "FAIL: the recording does not end with the close"; fail=1; }
# Bounded, so a recording that lost its close still ends (and fails the comparison) instead of running on.
"$sim" --dir "$assets" --input rec.txt --frames 400 --trace b.jsonl --screenshot 299:b.png >out 2>err
rc=$?
[ "$rc" -eq 0 ] || { echo "FAIL: replay: exit status $rc"; cat err; fail=1; }
cmp -s a.jsonl b.jsonl || { echo "FAIL: the replay's trace differs"; fail=1; }
cmp -s a.png b.png || { echo "FAIL: the replay's picture differs"; fail=1; }
[ -s a.png ] || { echo "FAIL: no screenshot"; fail=1; }

# A record that cannot be saved: the golden session's game over beats the record, but user_data is a plain
# file in one copy and Record.dat.tmp a folder in the other. Each run says so in one line and plays on as
# if the old record (none, or 0) still held: the same trace.
golden=$(dirname "$0")/golden
case "$golden" in /*) ;; *) golden="$OLDPWD/$golden" ;; esac
for copy in plain tmpfolder; do
    mkdir "$copy"
    for folder in bmp data wave; do cp -R "$assets/$folder" "$copy/$folder"; done
done
printf 'x' >plain/user_data
mkdir -p tmpfolder/user_data/Record.dat.tmp
printf '\000\000\000\000' >tmpfolder/user_data/Record.dat
for copy in plain tmpfolder; do
    "$sim" --dir "$copy" --input "$golden/session.txt" --frames 6000 --trace "$copy.jsonl" >out 2>"$copy.err"
    rc=$?
    [ "$rc" -eq 0 ] || { echo "FAIL: unsaved record ($copy): exit status $rc"; cat "$copy.err"; fail=1; }
    [ "$(wc -l <"$copy.jsonl")" -eq 6000 ] || { echo "FAIL: unsaved record ($copy): the run was cut short"; fail=1; }
done
printf 'quillmarsh: cannot save the record user_data/Record.dat: user_data is a file, not a folder\n' >plain.want
printf 'quillmarsh: cannot save the record user_data/Record.dat: user_data/Record.dat.tmp is a folder\n' >tmpfolder.want
for copy in plain tmpfolder; do
    cmp -s "$copy.err" "$copy.want" || { echo "FAIL: unsaved record ($copy): said"; cat "$copy.err"; fail=1; }
done
cmp -s plain.jsonl tmpfolder.jsonl || { echo "FAIL: unsaved record: the two runs' traces differ"; fail=1; }
tail -n 1 plain.jsonl | grep -q '"best":0' || { echo "FAIL: unsaved record: the title shows another record"; fail=1; }
[ "$(od -An -tx1 tmpfolder/user_data/Record.dat | tr -d ' ')" = 00000000 ] || { echo "FAIL: the old record changed"; fail=1; }
[ -d tmpfolder/user_data/Record.dat.tmp ] || { echo "FAIL: the folder in the way was removed"; fail=1; }
[ "$(cat plain/user_data)" = x ] || { echo "FAIL: the file in the folder's place changed"; fail=1; }

[ "$fail" -eq 0 ] && echo "quillmarsh-sim: refusals, failures and replays as expected"
exit "$fail"
