#!/bin/sh
# The game started where there is no screen at all must end quietly with exit code 0, saying why in its trace.
game="$1"
out=$(env DISPLAY= WAYLAND_DISPLAY= SDL_VIDEODRIVER=x11 QUILLMARSH_TRACE=1 "$game" 2>&1)
rc=$?
printf '%s\n' "$out"
[ "$rc" -eq 0 ] || { echo "exit code $rc, expected 0"; exit 1; }
printf '%s\n' "$out" | grep -qx 'CREATEEX_ERR' || { echo "no CREATEEX_ERR in the trace"; exit 1; }
echo "ended quietly with CREATEEX_ERR"
