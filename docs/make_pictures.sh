#!/bin/sh
# Makes the README's pictures from docs/pictures/session.txt with quillmarsh-sim, in a fresh asset tree.
#
# usage: make_pictures.sh BUILD-DIR [OUT-DIR]
# BUILD-DIR holds quillmarsh-sim and quillmarsh-tool (a build folder); nothing is built here. OUT-DIR is
# docs/pictures unless given. Needs ImageMagick (convert, compare, montage).
#
# Every picture is the game's own 320x240 frame with each pixel doubled, its colours exactly the game's
# (checked below); the animation is every third frame of about 5 s of play, doubled the same way. After a
# change to the session or to the frames below, look at every picture again before committing them.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: make_pictures.sh BUILD-DIR [OUT-DIR]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
out=${2:-$here/pictures}
session=$here/pictures/session.txt
for tool in convert compare montage; do
    command -v "$tool" >/dev/null || {
        echo "make_pictures.sh: ImageMagick's $tool is missing" >&2
        exit 2
    }
done
mkdir -p "$out"
out=$(cd "$out" && pwd)
# ImageMagick's threads only wait for each other on a busy machine.
export MAGICK_THREAD_LIMIT=1

# The frames, chosen by looking at them (see the session's comments for what happens when).
title=350     # the title settled: its text, "press Z", the record 0
play=920      # stage 1 in the lantern's light, a ghost on either side of the player
cleared=1200  # the caption of a cleared stage, at its full size over the seal
caught=1900   # stage 2, the player caught: the view runs in its third smear, the ghost still in it
gif_first=790 # two slabs let out ghosts, the seal appears, the player steps onto it, the caption grows
gif_frames=150
gif_step=3    # 150 frames 3 apart: 450 frames of 11 ms, about 5 s

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A fresh tree of the generated assets: no record from an earlier run, nothing changed by hand.
"$build/quillmarsh-tool" make-assets "$work/game" >/dev/null
mkdir "$work/raw"
set -- --screenshot "$title:$work/raw/title.png" --screenshot "$play:$work/raw/play.png" \
    --screenshot "$cleared:$work/raw/cleared.png" --screenshot "$caught:$work/raw/caught.png"
i=0
while [ "$i" -lt "$gif_frames" ]; do
    set -- "$@" --screenshot "$((gif_first + i * gif_step)):$work/raw/gif-$(printf %03d "$i").png"
    i=$((i + 1))
done
# The session ends with Esc; the bound stops a run that would go on anyway.
# No record or settings of the user's are read: the home and data folders are the empty work folder's.
mkdir "$work/home"
HOME=$work/home XDG_DATA_HOME=$work/home XDG_CONFIG_HOME=$work/home \
    "$build/quillmarsh-sim" --dir "$work/game" --input "$session" --frames 4000 "$@"

# Each pixel doubled, no smoothing; no dates or other text chunks, so the same picture gives the same file.
for name in title play cleared caught; do
    convert "$work/raw/$name.png" -scale 200% -strip "PNG8:$work/$name.png"
done
# Three frames of 11 ms are 3.3 hundredths of a second, which GIF cannot say: 3, 3, 4 keeps the pace.
set --
i=0
while [ "$i" -lt "$gif_frames" ]; do
    set -- "$@" -delay $((i % 3 == 2 ? 4 : 3)) "$work/raw/gif-$(printf %03d "$i").png"
    i=$((i + 1))
done
convert "$@" -scale 200% +dither -loop 0 -layers OptimizeFrame -strip "$work/play.gif"

# Nothing may change a colour on the way: each picture, halved again, is the game's frame to the pixel.
differ() { # picture frame
    compare -metric AE "$1" "$2" null: 2>&1 || true
}
for name in title play cleared caught; do
    convert "$work/$name.png" -sample 50% "$work/half.png"
    count=$(differ "$work/half.png" "$work/raw/$name.png")
    [ "$count" = 0 ] || {
        echo "make_pictures.sh: $name.png differs from the game's frame in $count pixels" >&2
        exit 1
    }
done
# The animation's frames, laid out in one grid each way, compare in one step.
convert "$work/play.gif" -coalesce -sample 50% "$work/half-%03d.png"
montage -mode concatenate -tile 10x "$work"/half-*.png "$work/half-grid.png"
montage -mode concatenate -tile 10x "$work"/raw/gif-*.png "$work/raw-grid.png"
count=$(differ "$work/half-grid.png" "$work/raw-grid.png")
[ "$count" = 0 ] || {
    echo "make_pictures.sh: play.gif differs from the game's frames in $count pixels" >&2
    exit 1
}

for name in title.png play.png cleared.png caught.png play.gif; do
    cp "$work/$name" "$out/$name"
done
echo "make_pictures.sh: $out: title.png play.png cleared.png caught.png, play.gif ($gif_frames frames, $(wc -c <"$out/play.gif") bytes)"
