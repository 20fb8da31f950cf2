#!/bin/sh
# The game's sounds through a real sound server: a private PulseAudio with only a null sink, the sounds
# played through SDL's pulseaudio driver, the sink's monitor recorded and its levels and pan checked.
# Skipped (exit 77) where PulseAudio and its tools are not installed.
# Usage: pulse_audio_test.sh BUILD_FOLDER
set -u
. "$(cd "$(dirname "$0")/../../support" && pwd)/game_driver.sh" || exit 1
build=$(cd "$1" && pwd) || exit 1
for tool in pulseaudio pactl parec; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: no $tool (apt-get install pulseaudio pulseaudio-utils)"; exit 77; }
done

# Everything the server and its clients keep goes in a folder of our own, so a desktop's own server is
# neither used nor disturbed.
work=$(mktemp -d) || exit 1
mkdir -p "$work/home" "$work/runtime" && chmod 700 "$work/runtime"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config"
export PULSE_SERVER="unix:$work/runtime/pulse/native"
server= recorder=
finish() {
    [ -n "$recorder" ] && kill "$recorder" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT

# -n: no default set-up, so no real sound card is touched; the null sink is the only (default) sink.
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --load="module-null-sink sink_name=quillmarsh_null rate=44100 channels=2" \
    --load=module-native-protocol-unix >"$work/pulse.log" 2>&1 &
server=$!
wait_until pactl info || { echo "FAIL: PulseAudio did not start"; cat "$work/pulse.log"; exit 1; }
pactl set-sink-volume quillmarsh_null 100%

parec -d quillmarsh_null.monitor --format=s16le --rate=44100 --channels=2 --latency-msec=20 \
    >"$work/heard.raw" &
recorder=$!
# The first sound must not come before the recorder is listening.
recording() { pactl list short source-outputs | grep -q .; }
wait_until recording || { echo "FAIL: the recorder did not connect"; exit 1; }
(cd "$build" && SDL_AUDIODRIVER=pulseaudio ./quillmarsh-pulse-play play) || { echo "FAIL: playing"; exit 1; }
# The recorder gets the sink's sound a little late: keep it until it has written another 0.3 s (44100
# frames a second, 4 bytes each) past the end of the playing.
played=$(wc -c <"$work/heard.raw")
heard_past_end() { [ "$(wc -c <"$work/heard.raw")" -ge $((played + 44100 * 4 * 3 / 10)) ]; }
wait_until heard_past_end || { echo "FAIL: the recorder stopped recording"; exit 1; }
kill "$recorder"; wait "$recorder" 2>/dev/null; recorder=
(cd "$build" && ./quillmarsh-pulse-play check "$work/heard.raw")
