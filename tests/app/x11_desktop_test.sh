#!/bin/sh
# On a desktop larger than the picture (run inside xvfb-run with a 1366x768 screen and a minimal window
# manager, matchbox): the 640x480 mode fills 960x720 centred; back in a window the picture is centred in
# whatever size the window manager gave the window; after a storm of Alt+Enter the picture settles whole
# and centred; Esc ends the game with 0.
set -u
. "$(cd "$(dirname "$0")/../support" && pwd)/game_driver.sh" || exit 1
build=$(cd "$1" && pwd) || exit 1
export SDL_AUDIODRIVER=dummy QUILLMARSH_TRACE=1
fail=0
work=$(mktemp -d) || exit 1
cp -r "$build"/bmp "$build"/wave "$build"/data "$build"/user_data "$work"/
cd "$work" || exit 1
printf 'Mode=1\n' > Setting.ini
# Where the picture must lie on a 1366x768 screen: three times 320x240, centred at +203+24. The title,
# once its line has settled, shows nothing but its 160x160 picture at (80, 40) of the 320x240 picture, so
# everything that is not black must fill exactly three times that square, offset accordingly.
expect_w=480 expect_h=480 expect_x=$((203 + 80 * 3)) expect_y=$((24 + 40 * 3))

# The window manager and the X server resize and redraw in their own time: the screen is taken again until
# two shots in a row are the same picture in the right place, and judged wrong only if that never happens.
check_picture() {
    deadline=$(($(date +%s) + GAME_WAIT_LIMIT))
    import -window root -depth 8 -strip "$1.ppm"
    while :; do
        sleep "$POLL_STEP"
        import -window root -depth 8 -strip "$1.next.ppm"
        box=$(convert "$1.next.ppm" -trim -format '%w %h %X %Y' info: 2>/dev/null | tr -d '+')
        if cmp -s "$1.ppm" "$1.next.ppm" && [ "$box" = "$expect_w $expect_h $expect_x $expect_y" ]; then break; fi
        mv "$1.next.ppm" "$1.ppm"
        [ "$(date +%s)" -ge "$deadline" ] && break
    done
    echo "$1: picture box (w h x y) $box"
    if [ "$box" != "$expect_w $expect_h $expect_x $expect_y" ]; then
        echo "FAIL: $1: the title is not at ${expect_w}x${expect_h}+${expect_x}+${expect_y}"
        fail=1
    fi
}

start_wm() { matchbox-window-manager -use_titlebar no >>wm.log 2>&1 & wm=$!; }
start_wm
# The window manager is up once it has announced itself on the root window. One that died on the way up
# (seen now and then on a loaded machine) is started again.
wm_up() {
    kill -0 "$wm" 2>/dev/null || { echo "(the window manager ended; started again)" >>wm.log; start_wm; }
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'
}
wait_until wm_up || { echo "FAIL: the window manager did not start"; cat wm.log; exit 1; }
# Whether the window manager has the game's window full screen (yes or no); the wait until it is so.
full_screen() {
    if xprop -id "$(xdotool search --name '^Quillmarsh$' | head -n 1)" _NET_WM_STATE | grep -q FULLSCREEN; then
        [ "$1" = yes ]
    else
        [ "$1" = no ]
    fi
}
wait_for_full_screen() { # yes|no
    wait_until full_screen "$1" || { echo "FAIL: full screen is not '$1'"; fail=1; }
}

"$build/quillmarsh" 2>err.txt & pid=$!
focus_game_window
wait_for_full_screen yes
# After the fade-in, Z settles the title's rippling line at once.
wait_for_state err.txt title-wave "$pid" || fail=1
press_until err.txt title-settled z "$pid" || fail=1
check_picture fullscreen_mode1
focus_game_window
xdotool keydown alt; press Return; xdotool keyup alt
wait_for_full_screen no
check_picture window_mode1

# About 50 presses a second for two seconds, as from a key held down by a stuck keyboard or a script.
xdotool keydown alt
i=0
while [ $i -lt 100 ]; do xdotool key --delay 0 Return; sleep 0.02; i=$((i + 1)); done
xdotool keyup alt
check_picture after_storm

focus_game_window
press Escape
wait_for_exit "$pid" || { echo "FAIL: Esc did not end the game"; kill "$pid"; fail=1; }
wait "$pid"; rc=$?
[ "$rc" -eq 0 ] || { echo "FAIL: exit code $rc"; fail=1; }
kill "$wm" 2>/dev/null
cd / && rm -rf "$work"
[ "$fail" -eq 0 ] && echo "x11 desktop: passed"
exit "$fail"
