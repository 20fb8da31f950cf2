#!/bin/sh
# Makes the README's pictures again and fails if one pixel of any of them, or of any animation frame,
# differs from the committed ones in docs/pictures (pixels are compared, not the files' bytes).
#
# usage: check_pictures.sh BUILD-DIR
# Exit status: 0 the same; 1 a picture differs (or could not be made); 77 ImageMagick is not installed.
# After a deliberate change to what the game shows, run docs/make_pictures.sh BUILD-DIR, look at the
# pictures and commit them.
set -u
here=$(cd "$(dirname "$0")" && pwd)
[ $# -eq 1 ] || {
    echo "usage: check_pictures.sh BUILD-DIR" >&2
    exit 2
}
for tool in convert compare identify montage; do
    command -v "$tool" >/dev/null || {
        echo "check_pictures.sh: skipped, ImageMagick's $tool is missing"
        exit 77
    }
done
export MAGICK_THREAD_LIMIT=1
committed=$here/pictures
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sh "$here/make_pictures.sh" "$1" "$work/made" || {
    echo "check_pictures.sh: FAIL: the pictures could not be made" >&2
    exit 1
}

# AE counts the pixels that differ; pictures of different sizes do not compare and say so instead (the
# message then stands where the count would).
differ() { # committed made
    compare -metric AE "$1" "$2" null: 2>&1
}
fail=0
for name in title cleared play caught; do
    count=$(differ "$committed/$name.png" "$work/made/$name.png")
    if [ "$count" = 0 ]; then
        echo "$name.png: the same"
    else
        echo "check_pictures.sh: FAIL: $name.png differs from the committed one in $count pixels" >&2
        fail=1
    fi
done

# The animation: as many frames, with the same delays, and each frame the same picture.
frames() { identify -format '%T\n' "$1" | wc -l; }
delays() { identify -format '%T ' "$1"; }
if [ "$(frames "$committed/play.gif")" != "$(frames "$work/made/play.gif")" ] ||
    [ "$(delays "$committed/play.gif")" != "$(delays "$work/made/play.gif")" ]; then
    echo "check_pictures.sh: FAIL: play.gif has other frames or delays than the committed one:" >&2
    echo "  committed, $(frames "$committed/play.gif") frames: $(delays "$committed/play.gif")" >&2
    echo "  made, $(frames "$work/made/play.gif") frames: $(delays "$work/made/play.gif")" >&2
    fail=1
else
    # One pass marks the frames that differ at all (1 for a frame with a difference in any pixel), the
    # usual case being none; only those are then compared pixel by pixel, to say how many differ.
    marks=$(convert "$committed/play.gif" -coalesce null: \( "$work/made/play.gif" -coalesce \) \
        -compose difference -layers composite -format '%[fx:maxima>0]\n' info:)
    if [ -z "$marks" ]; then
        echo "check_pictures.sh: FAIL: play.gif's frames could not be compared" >&2
        fail=1
    elif ! echo "$marks" | grep -qv '^0$'; then
        echo "play.gif: the same, $(frames "$committed/play.gif") frames"
    else
        convert "$committed/play.gif" -coalesce "$work/committed-%03d.png"
        convert "$work/made/play.gif" -coalesce "$work/made-%03d.png"
        echo "$marks" | grep -n -v '^0$' | while IFS=: read -r line _; do
            frame=$(printf %03d $((line - 1)))
            echo "check_pictures.sh: FAIL: play.gif's frame $frame differs from the committed one in" \
                "$(differ "$work/committed-$frame.png" "$work/made-$frame.png") pixels" >&2
        done
        fail=1
    fi
fi
[ "$fail" -eq 0 ] || echo "check_pictures.sh: if the change is meant, run docs/make_pictures.sh and look" >&2
exit "$fail"
