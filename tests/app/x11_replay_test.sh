#!/bin/sh
# Under a real X server (run inside xvfb-run with a 640x480 screen): a game played with keys while
# QUILLMARSH_RECORD records it replays in quillmarsh-sim to the very picture the player saw last. The game
# is paused before the last look, so the screen holds still while it is taken and Esc ends the session.
# The other way round, a recording watched in the game (QUILLMARSH_REPLAY) with Tab held over a stretch
# and the player's keys ignored shows the runner's picture where it ends paused; the player takes over,
# and the session recorded meanwhile replays whole in the runner.
set -u
. "$(cd "$(dirname "$0")/../support" && pwd)/game_driver.sh" || exit 1
cd "$1" || exit 1
export SDL_AUDIODRIVER=dummy
fail=0
rm -f replay-session.txt replay-screen.ppm replay-seen.png replay-sim.png replay-err.txt
rm -f watch-script.txt watch-err.txt watch-screen.ppm watch-seen.png watch-sim.png watch-both.txt
rm -f watch-script.jsonl watch-both.jsonl

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

# A recording that starts a game, walks, opens, turns and pauses at frame 820, where it ends.
printf '%s\n' 'seed 11' '30: down' '40: up' '60: z' '420: right' '470: right z' '520: down' '600: down x' \
    '640: left' '700: left z' '760: up' '820: space' >watch-script.txt
./quillmarsh-sim --input watch-script.txt --frames 840 --trace watch-script.jsonl --screenshot 830:watch-sim.png ||
    { echo "FAIL: the runner did not play the recording"; fail=1; }
QUILLMARSH_TRACE=1 QUILLMARSH_REPLAY=watch-script.txt QUILLMARSH_RECORD=watch-both.txt ./quillmarsh 2>watch-err.txt &
pid=$!
focus_game_window
wait_for_state watch-err.txt title-wave "$pid" || fail=1
# Tab runs the game on without waiting from the title into play; the player's keys count for nothing
# while it plays (Space would pause, Left walk).
xdotool keydown Tab
wait_for_state watch-err.txt game-play "$pid" || fail=1
xdotool keyup Tab
press space
press Left 0.5
wait_until grep -q '^quillmarsh: the replay has ended after frame 820;' watch-err.txt ||
    { echo "FAIL: no line saying the replay ended"; fail=1; }
wait_for_state watch-err.txt game-paused "$pid" || fail=1
import -window root -depth 8 -strip watch-screen.ppm
convert watch-screen.ppm -sample 50% watch-seen.png
differ=$(compare -metric AE watch-seen.png watch-sim.png null: 2>&1)
echo "the replay watched, paused after frame 820: pixels that differ from the runner's frame 830: $differ of 76800"
[ "$differ" = "0" ] || { echo "FAIL: the game's replay shows another picture than the runner's"; fail=1; }
# The player takes over: Space goes on, the arrows walk, Esc ends.
press space
wait_for_state watch-err.txt game-play "$pid" || fail=1
press Right 0.5
press Escape
wait_for_exit "$pid" || { echo "FAIL: Esc did not end the game"; kill "$pid"; fail=1; }
wait "$pid"; rc=$?
[ "$rc" -eq 0 ] || { echo "FAIL: the game's exit code $rc"; fail=1; }
[ "$(grep -c '^quillmarsh: the replay has ended' watch-err.txt)" = 1 ] ||
    { echo "FAIL: not exactly one line saying the replay ended"; fail=1; }

# The recording made meanwhile holds the replayed frames, then the player's: the runner plays it whole, and
# up to frame 820 as it plays the recording watched (the clock aside: Tab ran frames sooner).
frames=$(tail -n 1 watch-both.txt | sed 's/:.*//')
echo "recorded while watching: $(wc -l <watch-both.txt) lines, last: $(tail -n 1 watch-both.txt)"
./quillmarsh-sim --input watch-both.txt --frames "$((${frames:-0} + 100))" --trace watch-both.jsonl ||
    { echo "FAIL: the runner did not play the recording made while watching"; fail=1; }
head -n 821 watch-script.jsonl | sed 's/"time":[0-9]*,//' >watch-script.cut
head -n 821 watch-both.jsonl | sed 's/"time":[0-9]*,//' >watch-both.cut
cmp -s watch-script.cut watch-both.cut || { echo "FAIL: frames 0 to 820 differ in the recording"; fail=1; }
grep -q ' right' watch-both.txt && awk -F: '$1 > 820 && / right/ { found = 1 } END { exit !found }' watch-both.txt ||
    { echo "FAIL: the player's walk after the end is not recorded"; fail=1; }
[ "$(wc -l <watch-both.jsonl)" -eq "${frames:-0}" ] || { echo "FAIL: the recording does not replay to its end"; fail=1; }
rm -f watch-script.cut watch-both.cut

[ "$fail" -eq 0 ] && echo "the replay shows what the player saw, and the game shows what the runner replays"
exit "$fail"
