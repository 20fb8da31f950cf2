#!/bin/sh
# Under a real X server (run inside xvfb-run with a 640x480 screen): a game played with keys while
# QUILLMARSH_RECORD records it replays in quillmarsh-sim to the very picture the player saw last. The game
# is paused before the last look, so the screen holds still while it is taken and Esc ends the session.
set -u
cd "$1" || exit 1
export SDL_AUDIODRIVER=dummy
fail=0
rm -f replay-session.txt replay-screen.ppm replay-seen.png replay-sim.png

press() { xdotool keydown "$1"; sleep "${2:-0.15}"; xdotool keyup "$1"; }
QUILLMARSH_RECORD=replay-session.txt ./quillmarsh & pid=$!
timeout 20 xdotool search --sync --name '^Quillmarsh$' >/dev/null 2>&1
xdotool search --sync --name '^Quillmarsh$' windowfocus --sync >/dev/null 2>&1
sleep 1.5
press z
sleep 0.5
press z
sleep 2.5
press Right 0.8
press Down 0.6
xdotool keydown z; press Left 0.5; xdotool keyup z
press Up 0.7
press space 0.05
sleep 0.5
import -window root -depth 8 -strip replay-screen.ppm
xdotool key --delay 60 Escape
for i in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$pid" 2>/dev/null || break; sleep 0.3; done
if kill -0 "$pid" 2>/dev/null; then echo "FAIL: Esc did not end the game"; kill "$pid"; fail=1; fi
wait "$pid"; rc=$?
[ "$rc" -eq 0 ] || { echo "FAIL: the game's exit code $rc"; fail=1; }

# The session ends with the close before the frame that never came: the last frame is the one before.
echo "recording: $(wc -l <replay-session.txt) lines, $(head -n 1 replay-session.txt), last: $(tail -n 1 replay-session.txt)"
frames=$(tail -n 1 replay-session.txt | sed 's/:.*//')
frames=${frames:-0}
last=$((frames - 1))
tail -n 1 replay-session.txt | grep -q ' esc$' || { echo "FAIL: the recording does not end with the close"; fail=1; }
# Bounded past the recorded close, so a recording that lost it still ends.
./quillmarsh-sim --input replay-session.txt --frames "$((frames + 100))" --screenshot "$last:replay-sim.png" ||
    { echo "FAIL: the replay failed"; fail=1; }
grep -q ' space' replay-session.txt || { echo "FAIL: the pause is not in the recording"; fail=1; }

# 640x480 on the screen is every game pixel doubled: take every other one.
convert replay-screen.ppm -sample 50% replay-seen.png
differ=$(compare -metric AE replay-seen.png replay-sim.png null: 2>&1)
echo "frame $last: pixels that differ between the screen and the replay: $differ of 76800"
[ "$differ" = "0" ] || { echo "FAIL: the replay shows another picture"; fail=1; }
[ "$fail" -eq 0 ] && echo "the replay shows what the player saw"
exit "$fail"
