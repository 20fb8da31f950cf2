#!/bin/sh
# The sound server dies in the middle of a game (run inside xvfb-run): the game, playing through SDL's
# pulseaudio driver on a private PulseAudio with a null sink, plays on silently: pausing, resuming and
# opening slabs (each with its sound) still work, standard error says once that the sound was lost and
# nothing more, and Esc ends it with exit code 0.
# Skipped (exit 77) where PulseAudio, xdotool or a display is missing.
# Usage: sound_server_lost_test.sh BUILD_FOLDER
set -u
. "$(cd "$(dirname "$0")/../../support" && pwd)/game_driver.sh" || exit 1
build=$(cd "$1" && pwd) || exit 1
for tool in pulseaudio pactl xdotool; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: no $tool"; exit 77; }
done
[ -n "${DISPLAY:-}" ] || { echo "skipped: no display (run it under xvfb-run)"; exit 77; }

# The server keeps its files in a folder of our own, so a desktop's own server is neither used nor
# disturbed; the game runs in a copy of the asset tree, so nothing is left in the build folder.
work=$(mktemp -d) || exit 1
mkdir -p "$work/home" "$work/runtime" && chmod 700 "$work/runtime"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config"
export PULSE_SERVER="unix:$work/runtime/pulse/native"
server="" pid=""
finish() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$server" ] && kill -9 "$server" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
cp -R "$build/bmp" "$build/data" "$build/wave" "$work/"
mkdir "$work/user_data"

pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --load="module-null-sink sink_name=quillmarsh_null rate=44100 channels=2" \
    --load=module-native-protocol-unix >"$work/pulse.log" 2>&1 &
server=$!
wait_until pactl info || { echo "FAIL: PulseAudio did not start"; cat "$work/pulse.log"; exit 1; }

fail=0
log=$work/err.txt
(cd "$work" && SDL_AUDIODRIVER=pulseaudio QUILLMARSH_TRACE=1 exec "$build/quillmarsh" 2>"$log") &
pid=$!
focus_game_window
wait_for_state "$log" title-wave "$pid" || exit 1
# The game is heard through the server until the server goes.
playing() { pactl list short sink-inputs | grep -q .; }
wait_until playing || { echo "FAIL: the game never connected to the sound server"; exit 1; }
press_until "$log" title-settled z "$pid" || exit 1
press_until "$log" title-fade-out z "$pid" || exit 1
wait_for_state "$log" game-play "$pid" || exit 1

kill -9 "$server"
wait "$server" 2>/dev/null
server=
echo "the sound server was killed during play"

# Pause and resume (each plays the pause sound), then walk and open slabs, on a device that is gone.
press_until "$log" game-paused space "$pid" || fail=1
press_until "$log" game-play space "$pid" || fail=1
press Right 1
xdotool keydown z
press Down 1
xdotool keyup z
press_until "$log" game-paused space "$pid" || fail=1
kill -0 "$pid" 2>/dev/null || { echo "FAIL: the game ended after losing its sound"; fail=1; }
press Escape
wait_for_exit "$pid" || { echo "FAIL: Esc did not end the game"; kill "$pid"; fail=1; }
wait "$pid"
rc=$?
pid=
[ "$rc" -eq 0 ] || { echo "FAIL: exit code $rc"; fail=1; }
said=$(grep -v '^quillmarsh: state \|^DDLoadPaletteFromFile' "$log")
echo "the game said: ${said:-nothing}"
lost="quillmarsh: the sound device went away; the game plays on without sound (start it again to hear it)"
[ "$said" = "$lost" ] || { echo "FAIL: expected only: $lost"; fail=1; }
exit $fail
