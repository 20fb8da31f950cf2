#!/bin/sh
# The installed game as a player meets it (run inside xvfb-run, 640x480 screen, as a plain user with a fresh
# HOME): started as `quillmarsh` from an empty folder, it shows the runner's title, plays, saves an F12
# screenshot into the pictures folder named in user-dirs.dirs, keeps its record in $XDG_DATA_HOME after a
# game over, and writes nothing into the folder it was started from.
# Usage: installed_game_test.sh LOGDIR (where the logs and pictures for the report go).
set -u
. "$(cd "$(dirname "$0")/../support" && pwd)/game_driver.sh" || exit 1
logs=$1
export SDL_AUDIODRIVER=dummy QUILLMARSH_TRACE=1
# Somewhere other than the default, so the game must read the variable.
export XDG_DATA_HOME="$HOME/data-home"
unset XDG_CONFIG_HOME
mkdir -p "$HOME/.config"
echo 'XDG_PICTURES_DIR="$HOME/Bilder"' >"$HOME/.config/user-dirs.dirs"
record="$XDG_DATA_HOME/quillmarsh/user_data/Record.dat"
pictures="$HOME/Bilder/Quillmarsh"
fail=0

game=$(command -v quillmarsh) || { echo "FAIL: quillmarsh is not on the PATH ($PATH)"; exit 1; }
echo "the game: $game"
empty=$(mktemp -d) || exit 1
cd "$empty" || exit 1

# The runner's settled title, from a copy of the installed asset tree (the runner keeps to its folder).
tree=$(mktemp -d) || exit 1
cp -r /usr/share/games/quillmarsh/. "$tree"/
quillmarsh-sim --dir "$tree" --frames 460 --screenshot "450:$logs/runner-title.png" >/dev/null 2>"$logs/sim.txt" ||
    { echo "FAIL: the installed runner did not run"; fail=1; }
rm -rf "$tree"

# First run: the title as the runner draws it, a game, a pause, F12, Esc.
quillmarsh >"$logs/out1.txt" 2>"$logs/err1.txt" & pid=$!
focus_game_window
wait_for_state "$logs/err1.txt" title-wave "$pid" || fail=1
press_until "$logs/err1.txt" title-settled z "$pid" || fail=1
import -window root -depth 8 -strip "$logs/title-screen.ppm"
convert "$logs/title-screen.ppm" -sample 50% "$logs/title-seen.png"
differ=$(compare -metric AE "$logs/title-seen.png" "$logs/runner-title.png" null: 2>&1)
echo "title: pixels unlike the runner's title: $differ of 76800"
[ "$differ" = "0" ] || { echo "FAIL: the installed game's title is not the runner's"; fail=1; }
press_until "$logs/err1.txt" title-fade-out z "$pid" || fail=1
wait_for_state "$logs/err1.txt" game-play "$pid" || fail=1
press Right 0.5
press space
wait_for_state "$logs/err1.txt" game-paused "$pid" || fail=1
press F12
wait_until grep -q 'screenshot saved' "$logs/out1.txt" || { echo "FAIL: F12 saved nothing"; fail=1; }
cat "$logs/out1.txt"
grep -q "saved as $pictures/quillmarsh-0001.png\$" "$logs/out1.txt" ||
    { echo "FAIL: the screenshot is not in $pictures"; fail=1; }
size=$(identify -format '%wx%h' "$pictures/quillmarsh-0001.png" 2>/dev/null)
echo "F12: $pictures/quillmarsh-0001.png is ${size:-missing}"
[ "$size" = "320x240" ] || { echo "FAIL: no 320x240 screenshot"; fail=1; }
[ -n "$size" ] && cp "$pictures/quillmarsh-0001.png" "$logs/screenshot.png"
press Escape
wait_for_exit "$pid" || { echo "FAIL: Esc did not end the game"; kill "$pid"; fail=1; }
wait "$pid"; rc=$?
[ "$rc" -eq 0 ] || { echo "FAIL: exit status $rc"; grep -v '^quillmarsh: state' "$logs/err1.txt"; fail=1; }

# Second run: played until the ghosts take all three lives, holding Z to open every slab walked past and
# changing direction now and then. The game is over when the title comes back.
quillmarsh >"$logs/out2.txt" 2>"$logs/err2.txt" & pid=$!
focus_game_window
wait_for_state "$logs/err2.txt" title-wave "$pid" || fail=1
press_until "$logs/err2.txt" title-settled z "$pid" || fail=1
press_until "$logs/err2.txt" title-fade-out z "$pid" || fail=1
wait_for_state "$logs/err2.txt" game-play "$pid" || fail=1
deadline=$(($(date +%s) + ${GAME_OVER_LIMIT:-600}))
xdotool keydown z
turn=0
while :; do
    case "$(game_state "$logs/err2.txt")" in title-*) break ;; esac
    if ! kill -0 "$pid" 2>/dev/null || [ "$(date +%s)" -ge "$deadline" ]; then
        echo "FAIL: no game over (last state: $(game_state "$logs/err2.txt"))"; fail=1; break
    fi
    turn=$((turn + 1))
    set -- Up Right Down Left Up Left Down Right Right Down
    shift $((turn % 10))
    # Walk a while, then stand still a while: the ghosts catch a player who stops. These pauses are the
    # player's rhythm, not waits for the game: its state is polled above, with the deadline, on every turn,
    # and a key held 0.6 s spans many frames even on a loaded machine.
    xdotool keydown "$1"; sleep 0.6; xdotool keyup "$1"
    [ $((turn % 3)) -eq 0 ] && sleep 1.5
done
xdotool keyup z
echo "caught $(grep -c '^quillmarsh: state game-caught' "$logs/err2.txt") times, then the title"
wait_for_state "$logs/err2.txt" title-wave "$pid" || true
press Escape
wait_for_exit "$pid" || { echo "FAIL: Esc did not end the game"; kill "$pid"; fail=1; }
wait "$pid"
if [ -f "$record" ]; then
    echo "the record: $record ($(od -An -tu4 "$record" | tr -d ' ') stages, $(wc -c <"$record") bytes)"
else
    echo "FAIL: no record at $record"; fail=1
fi
[ "$(wc -c <"$record" 2>/dev/null)" = "4" ] || { echo "FAIL: the record is not 4 bytes"; fail=1; }

left=$(ls -A "$empty")
[ -z "$left" ] || { echo "FAIL: the game wrote into its working folder: $left"; fail=1; }
echo "the working folder after both runs: ${left:-empty}"
echo "written in HOME:"; (cd "$HOME" && find . -type f | sort)
rmdir "$empty"
[ "$fail" -eq 0 ] && echo "installed game: passed"
exit "$fail"
