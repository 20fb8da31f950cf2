#!/bin/sh
# Makes the fuzz targets' seed corpora, one folder per target, from a build's generated asset tree, the
# test files and a few small hand-made files: sh make_seeds.sh BUILD OUT (BUILD holds bmp/ wave/ data/).
set -eu
build=${1:?usage: make_seeds.sh BUILD OUT}
out=${2:?usage: make_seeds.sh BUILD OUT}
source=$(cd "$(dirname "$0")/.." && pwd)
for folder in bmp wave data; do
    [ -d "$build/$folder" ] || { echo "make_seeds: no $build/$folder (build the assets target first)" >&2; exit 1; }
done
tool=$build/quillmarsh-tool
rm -rf "$out"
mkdir -p "$out"
for target in picture wave stage-file stage-text setting record blend-table input-script recording; do
    mkdir -p "$out/$target"
done

# Little-endian numbers as raw bytes, for the hand-made files.
le16() { printf "\\$(printf %03o $(($1 & 255)))\\$(printf %03o $(($1 >> 8 & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }

# Pictures and palettes: the game's sheets, a 2x2 picture with a two-colour table (40-byte header) and a
# 3x1 one with the old 12-byte header and a top-down variant.
n=0
for file in "$build"/bmp/*.bmp; do
    n=$((n + 1))
    cp "$file" "$out/picture/sheet$n.bmp"
done
{
    printf 'BM'; le32 70; le32 0; le32 62
    le32 40; le32 2; le32 2; le16 1; le16 8; le32 0; le32 8; le32 2835; le32 2835; le32 2; le32 0
    printf '\000\000\377\000\377\377\377\000'
    printf '\000\001\000\000\001\000\000\000'
} > "$out/picture/small.bmp"
{
    printf 'BM'; le32 0; le32 0; le32 32
    le32 12; le16 3; le16 1; le16 1; le16 8
    printf '\000\000\000\377\377\377'
    printf '\001\000\001\000'
} > "$out/picture/core_header.bmp"
{
    printf 'BM'; le32 0; le32 0; le32 62
    le32 40; le32 2; le32 -2; le16 1; le16 8; le32 0; le32 0; le32 0; le32 0; le32 2; le32 0
    printf '\000\000\377\000\377\377\377\000'
    printf '\001\000\000\000\000\001\000\000'
} > "$out/picture/top_down.bmp"

# Sounds: the game's, and a short one of each format the game takes, with an extra chunk before "fmt ".
n=0
for file in "$build"/wave/*.wav; do
    n=$((n + 1))
    cp "$file" "$out/wave/sound$n.wav"
done
wave() { # channels bits samples-bytes name [extra chunk]
    {
        printf 'RIFF'; le32 $((4 + 12 + 8 + 16 + 8 + $3)); printf 'WAVE'
        printf 'LIST'; le32 4; printf 'INFO'
        printf 'fmt '; le32 16; le16 1; le16 "$1"; le32 22050; le32 $((22050 * $1 * $2 / 8))
        le16 $(($1 * $2 / 8)); le16 "$2"
        printf 'data'; le32 "$3"
        i=0
        while [ $i -lt "$3" ]; do printf '\200'; i=$((i + 1)); done
    } > "$out/wave/$4"
}
wave 1 8 8 mono8.wav
wave 2 16 16 stereo16.wav
wave 1 16 9 odd_data.wav

# Stage files, and the same stages as the tool's text.
n=0
for file in "$build"/data/*.bgd; do
    n=$((n + 1))
    cp "$file" "$out/stage-file/stage$n.bgd"
    "$tool" map-to-text "$file" > "$out/stage-text/stage$n.txt"
done

# Settings as players write them.
printf 'Mode=1\n' > "$out/setting/mode1.ini"
printf 'Mode=0\r\n' > "$out/setting/mode0.ini"
printf '[Screen]\n Mode = 1 // doubled\n' > "$out/setting/commented.ini"
printf 'Mode=-2147483649\n' > "$out/setting/huge.ini"

# Records: none cleared, a few, the largest, and one cut short.
printf '\000\000\000\000' > "$out/record/zero.dat"
printf '\007\000\000\000' > "$out/record/seven.dat"
printf '\377\377\377\177' > "$out/record/largest.dat"
printf '\003\000' > "$out/record/short.dat"

# The blend table the game uses, and one cut short.
cp "$build"/bmp/*.dat "$out/blend-table/table.dat"
head -c 1000 "$build"/bmp/*.dat > "$out/blend-table/short.dat"

# Scripts and recordings: the tests' own, and a few lines of every kind.
for target in input-script recording; do
    cp "$source/tests/platform/win32/sim_script.txt" "$out/$target/sim_script.txt"
    cp "$source/tests/tools/golden/session.txt" "$out/$target/session.txt"
    printf '\357\273\277seed 5\r\n0: left jx=0 jy=65535 jb=4294967295\r\n9: esc\r\n' > "$out/$target/bom.txt"
    printf '# comment\n\nseed 1\n3: z x up down right space inactive active\n' > "$out/$target/every.txt"
done
printf '3: up\n2: down\n' > "$out/input-script/falling.txt"
printf '1: \033[31mred\n' > "$out/input-script/escape.txt"
echo "make_seeds: $(find "$out" -type f | wc -l) files in $out"
