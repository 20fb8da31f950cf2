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
# Where the picture must lie on a 1366x768 screen: three times 320x240, centred at +203+24. The title,
# once its line has settled, shows nothing but its 160x160 picture at (80, 40) of the 320x240 picture, so
# everything that is not black must fill exactly three times that square, offset accordingly.
expect_w=480 expect_h=480 expect_x=$((203 + 80 * 3)) expect_y=$((24 + 40 * 3))

check_picture() {
    import -window root -depth 8 -strip "$1.ppm"
    box=$(convert "$1.ppm" -trim -format '%w %h %X %Y' info: 2>/dev/null | tr -d '+')
    echo "$1: picture box (w h x y) $box"
    if [ "$box" != "$expect_w $expect_h $expect_x $expect_y" ]; then
        echo "FAIL: $1: the title is not at ${expect_w}x${expect_h}+${expect_x}+${expect_y}"
        fail=1
    fi
}

matchbox-window-manager -use_titlebar no >/dev/null 2>&1 & wm=$!
sleep 0.5
"$build/quillmarsh" & pid=$!
timeout 20 xdotool search --sync --name '^Quillmarsh$' >/dev/null 2>&1
xdotool search --sync --name '^Quillmarsh$' windowfocus --sync >/dev/null 2>&1
# After the fade-in, Z settles the title's rippling line at once.
sleep 1.5
xdotool keydown z; sleep 0.15; xdotool keyup z
sleep 0.5
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
