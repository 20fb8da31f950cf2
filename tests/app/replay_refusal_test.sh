#!/bin/sh
# A file that is not a recording, named by QUILLMARSH_REPLAY, is refused before the game opens its window:
# exit code 1, the runner's own message for the same file as the one line, and nothing recorded. Run
# where there is no display, so a game that went on to open its window would say so instead.
# Usage: replay_refusal_test.sh GAME RUNNER
game=$(readlink -f "$1") runner=$(readlink -f "$2")
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
fail=0

refused() { # name, text of the file
    printf '%s' "$2" >"$1.txt"
    env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy QUILLMARSH_REPLAY="$1.txt" \
        QUILLMARSH_RECORD="$1-record.txt" timeout 20 "$game" >"$1.out" 2>"$1.err"
    rc=$?
    "$runner" --input "$1.txt" --frames 1 >/dev/null 2>"$1.runner"
    said=$(sed 's/^quillmarsh: //' "$1.err")
    runner_said=$(head -n 1 "$1.runner" | sed 's/^quillmarsh-sim: //')
    echo "$1: exit code $rc: $(cat "$1.err")"
    [ "$rc" -eq 1 ] || { echo "FAIL: $1: exit code $rc, expected 1"; fail=1; }
    [ "$(wc -l <"$1.err")" -eq 1 ] || { echo "FAIL: $1: expected one line on standard error"; fail=1; }
    [ -n "$runner_said" ] && [ "$said" = "$runner_said" ] ||
        { echo "FAIL: $1: the runner says: $runner_said"; fail=1; }
    [ ! -e "$1-record.txt" ] || { echo "FAIL: $1: a recording was started"; fail=1; }
}

# Cut off in the middle of a line, a line out of order, a control nobody knows.
refused truncated "$(printf 'seed 7\n0:\n40: z\n52:\n6')"
refused order "$(printf 'seed 7\n0:\n40: z\n30: x\n')"
refused control "$(printf 'seed 7\n0:\n40: z jump\n')"
grep -q "truncated.txt: line 5: " truncated.err || { echo "FAIL: the cut line is not named"; fail=1; }
grep -q "line 4: frame 30 does not come after frame 40 of line 3" order.err || { echo "FAIL: order"; fail=1; }
grep -q "line 3: unknown control 'jump'" control.err || { echo "FAIL: unknown control"; fail=1; }
[ "$fail" -eq 0 ] && echo "every file that is not a recording was refused before the window, in the runner's words"
exit "$fail"
