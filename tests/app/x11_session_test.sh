#!/bin/sh
# Under a real X server (run inside xvfb-run): the game starts full screen from the build folder, shows
# a picture that fills the screen, and ends with exit code 0 on Esc; the six game keys reach SDL; with a
# picture missing from its files it ends at once with exit code 1 and names the file; F12 saves the screen
# as a 320x240 PNG.
set -u
. "$(cd "$(dirname "$0")/../support" && pwd)/game_driver.sh" || exit 1
cd "$1" || exit 1
build=$PWD
export SDL_AUDIODRIVER=dummy QUILLMARSH_TRACE=1
fail=0
rm -f err.txt

./quillmarsh 2>err.txt & pid=$!
# Once the fade-in is over the picture is on the screen at full brightness.
focus_game_window
wait_for_state err.txt title-wave "$pid" || { kill "$pid" 2>/dev/null; exit 1; }
import -window root -depth 8 -strip shot.ppm
# A picture fills the screen: the centre pixel is not the X server's black background.
centre=$(convert shot.ppm -format '%[pixel:p{320,240}]' info: 2>/dev/null)
echo "centre pixel: $centre"
case "$centre" in
    *"rgb(0,0,0)"*|"black"|"") echo "FAIL: nothing shown"; fail=1 ;;
esac
press Escape
wait_for_exit "$pid" || { echo "FAIL: Esc did not end the game"; kill "$pid"; fail=1; }
wait "$pid"; rc=$?
[ "$rc" -eq 0 ] || { echo "FAIL: exit code $rc"; fail=1; }

# A game from the title: Z skips the ripple, Z starts, the arrows walk; play must be on the screen, not the
# title, and Esc still ends with 0. Each Z is held until the game shows it took it.
./quillmarsh 2>err.txt & pid=$!
focus_game_window
wait_for_state err.txt title-wave "$pid" || fail=1
press_until err.txt title-settled z "$pid" || fail=1
import -window root -depth 8 -strip title.ppm
press_until err.txt title-fade-out z "$pid" || fail=1
wait_for_state err.txt game-play "$pid" || fail=1
press Right 1
press Down 1
import -window root -depth 8 -strip play.ppm
if ! kill -0 "$pid" 2>/dev/null; then echo "FAIL: the game did not stay up in play"; fail=1; fi
# The title's picture fills the middle square; in play the light's mask darkens its corners and the map
# replaces the picture, so the two squares must differ well beyond noise.
difference=$(compare -metric RMSE title.ppm play.ppm null: 2>&1 | sed 's/.*(\(.*\))/\1/')
echo "title against play: RMSE $difference"
awk "BEGIN { exit !($difference > 0.08) }" || { echo "FAIL: play does not look different from the title"; fail=1; }
middle=$(convert play.ppm -crop 64x64+288+208 -format '%[fx:mean]' info: 2>/dev/null)
echo "play, mean around the player: $middle"
awk "BEGIN { exit !($middle > 0.02) }" || { echo "FAIL: nothing drawn around the player"; fail=1; }
press Escape
wait_for_exit "$pid" || { echo "FAIL: Esc did not end the game in play"; kill "$pid"; fail=1; }
wait "$pid"; rc=$?
[ "$rc" -eq 0 ] || { echo "FAIL: exit code $rc after play"; fail=1; }

# F12 during a paused game, in a copy of the game's files so no screenshots are left in the build folder:
# a 320x240 PNG appears, pixel for pixel the screen's picture (640x480 here: every pixel doubled).
shots=$(mktemp -d) || exit 1
cp -r bmp wave data user_data "$shots"/
(cd "$shots" && exec "$build/quillmarsh" >out.txt 2>err.txt) & pid=$!
focus_game_window
wait_for_state "$shots/err.txt" title-wave "$pid" || fail=1
press_until "$shots/err.txt" title-settled z "$pid" || fail=1
press_until "$shots/err.txt" title-fade-out z "$pid" || fail=1
wait_for_state "$shots/err.txt" game-play "$pid" || fail=1
press space
wait_for_state "$shots/err.txt" game-paused "$pid" || fail=1
press F12
# The game says so once the file is written whole.
wait_until grep -q 'screenshot saved' "$shots/out.txt" || echo "FAIL: the game did not say it saved a screenshot"
import -window root -depth 8 -strip "$shots/screen.ppm"
press Escape
wait_for_exit "$pid" || kill "$pid"
wait "$pid"
cat "$shots/out.txt"
grep -v '^quillmarsh: state \|^DDLoadPaletteFromFile' "$shots/err.txt"
size=$(identify -format '%wx%h' "$shots/screenshots/quillmarsh-0001.png" 2>/dev/null)
echo "F12: screenshots/quillmarsh-0001.png is ${size:-missing}"
[ "$size" = "320x240" ] || { echo "FAIL: F12 wrote no 320x240 PNG"; fail=1; }
if [ -n "$size" ]; then
    convert "$shots/screen.ppm" -sample 320x240 "$shots/screen.png"
    unlike=$(compare -metric AE "$shots/screen.png" "$shots/screenshots/quillmarsh-0001.png" null: 2>&1)
    echo "F12: pixels unlike the screen: $unlike"
    [ "$unlike" = "0" ] || { echo "FAIL: the screenshot is not the picture on the screen"; fail=1; }
fi
rm -rf "$shots"

QUILLMARSH_X_INPUT_TEST=1 ./quillmarsh_sdl_tests --gtest_filter='SdlKeyboard.*' || fail=1

# A copy of the game's files without the text sheet it loads at start-up.
copy=$(mktemp -d) || exit 1
cp -r bmp wave data user_data "$copy"/ && rm "$copy/bmp/文字.bmp"
(cd "$copy" && timeout "$GAME_WAIT_LIMIT" "$build/quillmarsh" >out.txt 2>err.txt; echo $? >rc.txt)
rc=$(cat "$copy/rc.txt")
cat "$copy/err.txt"
[ "$rc" -eq 1 ] || { echo "FAIL: missing picture: exit code $rc, expected 1"; fail=1; }
grep -q '^quillmarsh: cannot read the picture bmp/文字.bmp: the file is missing' "$copy/err.txt" ||
    { echo "FAIL: missing picture: no line naming bmp/文字.bmp"; fail=1; }
rm -rf "$copy"
[ "$fail" -eq 0 ] && echo "x11 session: passed"
exit "$fail"
