#!/bin/sh
# Under a real X server (run inside xvfb-run with a 640x480 screen): a game played with keys while
# QUILLMARSH_RECORD records it replays in quillmarsh-sim to the very picture the player saw last. The game
# is paused before the last look, so the screen holds still while it is taken and Esc ends the session.
set -u
. "$(cd "$(dirname "$0")/../support" && pwd)/game_driver.sh" || exit 1
cd "$1" || exit 1
export SDL_AUDIODRIVER=dummy
fail=0
rm -f replay-session.txt replay-screen.ppm replay-seen.png replay-sim.png replay-err.txt

QUILLMARSH_TRACE=1 QUILLMARSH_RECORD=replay-session.txt ./quillmarsh 2>replay-err.txt & pid=$!
focus_game_window
wait_for_state replay-err.txt title-wave "$pid" || fail=1
press_until replay-err.txt title-settled z "$pid" || fail=1
press_until replay-err.txt title-fade-out z "$pid" || fail=1
wait_for_state replay-err.txt game-play "$pid" || fail=1
press Right 0.8
press Down 0.6
xdotool keydown z; press Left 0.5; xdotool keyup z
press Up 0.7
# The picture holds still once the game shows it is paused (a ghost may have ended play first: then the
# pause never comes, and the run says so).
press space
wait_for_state replay-err.txt game-paused "$pid" || fail=1
import -window root -depth 8 -strip replay-screen.ppm
press Escape
wait_for_exit "$pid" || { echo "FAIL: Esc did not end the game"; kill "$pid"; fail=1; }
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
