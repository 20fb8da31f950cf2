# Shared by the scripts that drive the real game (sourced, POSIX sh): waiting for the state it traces under
# QUILLMARSH_TRACE=1, holding keys long enough for a busy machine to see them, waiting for its end. Every
# wait polls the game with a generous limit; none trusts the clock to have given the game enough time.

# Seconds one wait may take before the script gives up on the game (a loaded machine runs it slowly).
GAME_WAIT_LIMIT=${GAME_WAIT_LIMIT:-60}
# A key is held at least this long: well over two 11 ms frames, even when a busy machine stretches them.
KEY_HOLD=0.15
POLL_STEP=0.1

# The state the game last traced in LOG, its standard error (empty before the first frame). The Windows
# game ends its lines with CR LF.
game_state() { # log
    sed -n 's/^quillmarsh: state \([a-z-]*\).*/\1/p' "$1" 2>/dev/null | tail -n 1
}

# Waits until the game's latest state is STATE. Fails at once if PID (when given) has ended, and says
# which state the game was in instead.
wait_for_state() { # log state [pid]
    _deadline=$(($(date +%s) + GAME_WAIT_LIMIT))
    while [ "$(game_state "$1")" != "$2" ]; do
        if [ -n "${3:-}" ] && ! kill -0 "$3" 2>/dev/null; then
            echo "FAIL: the game ended while waiting for the state $2 (last: '$(game_state "$1")')"
            return 1
        fi
        if [ "$(date +%s)" -ge "$_deadline" ]; then
            echo "FAIL: no state $2 after ${GAME_WAIT_LIMIT} s (last: '$(game_state "$1")')"
            return 1
        fi
        sleep "$POLL_STEP"
    done
}

# Holds KEY for SECONDS (KEY_HOLD by default) on whatever window has the keyboard focus, then leaves it up
# for KEY_HOLD too: the game takes a press only after a frame has seen the key up, so a press that follows
# at once would be missed.
press() { # key [seconds]
    xdotool keydown "$1"
    sleep "${2:-$KEY_HOLD}"
    xdotool keyup "$1"
    sleep "$KEY_HOLD"
}

# Holds KEYS down together for KEY_HOLD, releases them in reverse order, then leaves them up for KEY_HOLD.
press_chord() { # key...
    xdotool keydown "$@"
    sleep "$KEY_HOLD"
    _up=""
    for _key in "$@"; do _up="$_key $_up"; done
    # shellcheck disable=SC2086
    xdotool keyup $_up
    sleep "$KEY_HOLD"
}

# Holds KEY until the game shows STATE (and at least KEY_HOLD), then leaves it up for KEY_HOLD: a press a
# slow frame cannot miss.
press_until() { # log state key [pid]
    xdotool keydown "$3"
    sleep "$KEY_HOLD"
    wait_for_state "$1" "$2" "${4:-}"
    _status=$?
    xdotool keyup "$3"
    sleep "$KEY_HOLD"
    return $_status
}

# Runs the command (quietly) until it succeeds; fails if it still has not after the limit.
wait_until() { # command...
    _deadline=$(($(date +%s) + GAME_WAIT_LIMIT))
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s)" -ge "$_deadline" ] && return 1
        sleep "$POLL_STEP"
    done
    return 0
}

# Waits until process PID has ended; fails if it is still running after the limit.
wait_for_exit() { # pid
    wait_until eval "! kill -0 $1"
}

# Waits for the game's window to exist, then gives it the keyboard (not for Wine: it steals the focus there).
focus_game_window() {
    timeout "$GAME_WAIT_LIMIT" xdotool search --sync --name '^Quillmarsh$' windowfocus --sync >/dev/null 2>&1
}
