#!/bin/sh
# On a desktop larger than the picture (run inside xvfb-run with a 1366x768 screen and a minimal window
# manager, matchbox): the 640x480 mode fills 960x720 centred; back in a window the picture is centred in
# whatever size the window manager gave the window; after a storm of Alt+Enter the picture settles whole
# and centred; Esc ends the game with 0.
set -u
build=$(cd "$1" && pwd) || exit 1
export SDL_AUDIODRIVER=dummy
fail=0
work=$(mktemp -d) || exit 1
cp -r "$build"/bmp "$build"/wave "$build"/data "$build"/user_data "$work"/
cd "$work" || exit 1
printf 'Mode=1\n' > Setting.ini
# Where the picture must lie on a 1366x768 screen: three times 320x240, centred.
expect_x=203 expect_y=24 expect_w=960 expect_h=720

# The picture's extent on the screen: the box around everything that is not black. The title may have
# black edges of its own, so the box must lie inside the expected place and cover most of it.
check_picture() {
    import -window root -depth 8 -strip "$1.ppm"
    box=$(convert "$1.ppm" -trim -format '%w %h %X %Y' info: 2>/dev/null | tr -d '+')
    echo "$1: picture box (w h x y) $box"
    set -- $box "$1"
    if [ "$#" -ne 5 ] || [ "$3" -lt "$expect_x" ] || [ "$4" -lt "$expect_y" ] ||
        [ $(($3 + $1)) -gt $((expect_x + expect_w)) ] || [ $(($4 + $2)) -gt $((expect_y + expect_h)) ] ||
        [ "$1" -le $((expect_w * 3 / 4)) ] || [ "$2" -le $((expect_h * 3 / 4)) ]; then
        echo "FAIL: $5: not a whole picture at ${expect_w}x${expect_h}+${expect_x}+${expect_y}"
        fail=1
    fi
}

matchbox-window-manager -use_titlebar no >/dev/null 2>&1 & wm=$!
sleep 0.5
"$build/quillmarsh" & pid=$!
timeout 20 xdotool search --sync --name '^Quillmarsh$' >/dev/null 2>&1
sleep 1
check_picture fullscreen_mode1
xdotool search --sync --name '^Quillmarsh$' windowfocus --sync >/dev/null 2>&1
xdotool key --delay 60 alt+Return
sleep 1.5
check_picture window_mode1

# About 50 presses a second for two seconds, as from a key held down by a stuck keyboard or a script.
xdotool keydown alt
i=0
while [ $i -lt 100 ]; do xdotool key --delay 0 Return; sleep 0.02; i=$((i + 1)); done
xdotool keyup alt
sleep 1.5
check_picture after_storm

xdotool search --sync --name '^Quillmarsh$' windowfocus --sync >/dev/null 2>&1
xdotool key --delay 60 Escape
for i in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$pid" 2>/dev/null || break; sleep 0.3; done
if kill -0 "$pid" 2>/dev/null; then echo "FAIL: Esc did not end the game"; kill "$pid"; fail=1; fi
wait "$pid"; rc=$?
[ "$rc" -eq 0 ] || { echo "FAIL: exit code $rc"; fail=1; }
kill "$wm" 2>/dev/null
cd / && rm -rf "$work"
[ "$fail" -eq 0 ] && echo "x11 desktop: passed"
exit "$fail"
