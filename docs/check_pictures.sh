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

# AE counts the pixels that differ; pictures of different sizes do not compare and say so instead.
differ() { # committed made
    compare -metric AE "$1" "$2" null: 2>&1
}
fail=0
for name in title cleared play caught; do
    count=$(differ "$committed/$name.png" "$work/made/$name.png")
    if [ "$count" = 0 ]; then
        echo "$name.png: the same"
    else
        echo "check_pictures.sh: FAIL: $name.png differs from the committed one: $count" >&2
        fail=1
    fi
done

# The animation: as many frames, with the same delays, and each frame the same picture.
frames() { identify -format '%T\n' "$1" | wc -l; }
delays() { identify -format '%T ' "$1"; }
if [ "$(frames "$committed/play.gif")" != "$(frames "$work/made/play.gif")" ] ||
    [ "$(delays "$committed/play.gif")" != "$(delays "$work/made/play.gif")" ]; then
    echo "check_pictures.sh: FAIL: play.gif has other frames or delays than the committed one:" >&2
    echo "  committed: $(delays "$committed/play.gif")" >&2
    echo "  made:      $(delays "$work/made/play.gif")" >&2
    fail=1
else
    mkdir "$work/committed" "$work/made-frames"
    convert "$committed/play.gif" -coalesce "$work/committed/frame-%03d.png"
    convert "$work/made/play.gif" -coalesce "$work/made-frames/frame-%03d.png"
    differing=0
    for frame in "$work"/committed/frame-*.png; do
        name=$(basename "$frame")
        count=$(differ "$frame" "$work/made-frames/$name")
        [ "$count" = 0 ] && continue
        echo "check_pictures.sh: FAIL: play.gif's ${name%.png} differs from the committed one: $count" >&2
        differing=$((differing + 1))
    done
    if [ "$differing" -eq 0 ]; then
        echo "play.gif: the same, $(frames "$committed/play.gif") frames"
    else
        fail=1
    fi
fi
[ "$fail" -eq 0 ] || echo "check_pictures.sh: if the change is meant, run docs/make_pictures.sh and look" >&2
exit "$fail"
