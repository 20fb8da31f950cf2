#!/bin/sh
# The game started where there is no screen must end at once with exit code 1 and one line saying there is
# no display, whether SDL is held to X11 or left to fall back to a driver that shows nothing (as it does
# with the README's remedy for a missing sound device). A driver asked for by name is the user's choice.
# The game reads its files from the folder it starts in: the build folder it was built in.
cd "$(dirname "$1")" || exit 1
game="$PWD/$(basename "$1")"
fail=0
runtime=$(mktemp -d) || exit 1
trap 'rm -rf "$runtime"' EXIT
# No X, no Wayland (an empty runtime folder has no Wayland socket to fall back on), silent sound.
noscreen() { env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$runtime" SDL_AUDIODRIVER=dummy "$@"; }

# Held to X11, with the trace on: every trace text as before, then the line.
noscreen SDL_VIDEODRIVER=x11 QUILLMARSH_TRACE=1 timeout 20 "$game" >"$runtime/out" 2>"$runtime/err"
rc=$?
cat "$runtime/err"
[ "$rc" -eq 1 ] || { echo "FAIL: x11: exit code $rc, expected 1"; fail=1; }
grep -qx 'CREATEEX_ERR' "$runtime/err" || { echo "FAIL: x11: no CREATEEX_ERR in the trace"; fail=1; }
tail -n 1 "$runtime/err" | grep -q '^quillmarsh: no display' || { echo "FAIL: x11: no 'no display' line last"; fail=1; }

# SDL left to choose, and no runtime folder either (a container, a login without a session): SDL would try
# its drivers, whose libraries complain on their own (the Wayland one about XDG_RUNTIME_DIR), then pick
# its offscreen driver and run for ever, showing nothing. The game's line must come first, and alone.
noscreen env -u XDG_RUNTIME_DIR timeout 20 "$game" >"$runtime/out" 2>"$runtime/err"
rc=$?
cat "$runtime/err"
[ "$rc" -eq 1 ] || { echo "FAIL: any driver: exit code $rc, expected 1 (124 = still running after 20 s)"; fail=1; }
[ "$(head -n 1 "$runtime/err")" = \
    'quillmarsh: no display to show the game on: DISPLAY is not set; start the game from a desktop session' ] ||
    { echo "FAIL: any driver: the first line on stderr is not the no-display line"; fail=1; }
[ "$(wc -l <"$runtime/err")" -eq 1 ] || { echo "FAIL: any driver: expected exactly one line on stderr"; fail=1; }
[ ! -s "$runtime/out" ] || { echo "FAIL: any driver: something on stdout"; fail=1; }

# Named in the list (in any case), the offscreen driver is accepted and the game runs until stopped.
noscreen SDL_VIDEODRIVER='x11,Offscreen' timeout 3 "$game" 2>"$runtime/err"
rc=$?
[ "$rc" -eq 124 ] || { echo "FAIL: offscreen by name: ended with $rc instead of running"; cat "$runtime/err"; fail=1; }

[ "$fail" -eq 0 ] && echo "no display: ended with 1 and said so; offscreen by name ran"
exit "$fail"
