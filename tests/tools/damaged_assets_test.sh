#!/bin/sh
# Damaged files in every place the game reads one: each is played by quillmarsh-sim through the title into a
# stage, which must either refuse it (exit 1, one line on standard error naming the file) or play; and
# quillmarsh-tool check-assets must call it an error exactly when the game refuses it.
#
# usage: damaged_assets_test.sh QUILLMARSH-SIM QUILLMARSH-TOOL
# Prints a table: per kind of file, how many damaged files were tried, refused, played, and how many of them
# the checker judged as the game did. Only coreutils and the project's own programs are used.
set -u
sim=$1
tool=$2
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
tree=$work/tree
orig=$work/orig
"$tool" make-assets "$tree" >/dev/null || { echo "FAIL: make-assets"; exit 1; }
"$tool" make-assets "$orig" >/dev/null || exit 1
fail=0
: >"$work/nothing"

# The title, Z past the ripple, Z into stage 1, then walking and opening: every file the game reads before
# and during the first stage is read by frame 300.
printf 'seed 7\n0:\n50: z\n52:\n60: z\n62:\n150: right z\n200: down\n240: left x\n' >"$work/play.txt"
frames=300
# A recording of the same run, as the game writes one, is damaged like the script.
QUILLMARSH_RECORD="$work/recording.txt" "$sim" --dir "$tree" --input "$work/play.txt" --frames $frames \
    >/dev/null 2>&1 || { echo "FAIL: the undamaged tree does not play"; exit 1; }
rm -f "$tree/user_data/Record.dat"
if ! "$tool" check-assets "$tree" >"$work/check.txt"; then
    echo "FAIL: the undamaged tree does not pass check-assets"
    cat "$work/check.txt"
    exit 1
fi

# --- Making damaged copies of $orig/$path at $tree/$path -------------------------------------------------

# Four bytes, little-endian; a negative value is written as its 32-bit two's complement.
le32() {
    v=$1
    [ "$v" -lt 0 ] && v=$((v + 4294967296))
    printf "\\$(printf %03o $((v & 255)))\\$(printf %03o $((v >> 8 & 255)))"
    printf "\\$(printf %03o $((v >> 16 & 255)))\\$(printf %03o $((v >> 24 & 255)))"
}
le16() {
    printf "\\$(printf %03o $(($1 & 255)))\\$(printf %03o $(($1 >> 8 & 255)))"
}
size_of() { wc -c <"$1" | tr -d ' '; }
byte_at() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }
# put FILE OFFSET: standard input written over FILE from OFFSET, the length kept.
put() { dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null; }
fresh() { rm -rf "$target"; cp "$source" "$target"; }

# One damage on the file in hand ($source -> $target); each prints nothing and leaves $target damaged.
truncate_at() { rm -rf "$target"; head -c "$1" "$source" >"$target"; }
set32() { fresh; le32 "$2" | put "$target" "$1"; }
set16() { fresh; le16 "$2" | put "$target" "$1"; }
set_text() { fresh; printf '%s' "$2" | put "$target" "$1"; }
flip() { # OFFSET MASK
    fresh
    b=$(byte_at "$source" "$1")
    printf "\\$(printf %03o $((b ^ $2)))" | put "$target" "$1"
}
trailing() { fresh; head -c "$1" /dev/zero | tr '\0' '\125' >>"$target"; }
# Far past the end, without writing the bytes: a hole reads as zeros.
sparse_tail() { fresh; dd if=/dev/null of="$target" bs=1 count=0 seek="$1" 2>/dev/null; }
# The same pixel bytes read as a sheet half as wide and twice as tall.
half_wide() {
    fresh
    le32 $((width / 2)) | put "$target" 18
    le32 $((height * 2)) | put "$target" 22
}
folder() { rm -rf "$target"; mkdir "$target"; }
dangling() { rm -rf "$target"; ln -s "$work/nowhere" "$target"; }
zero_device() { rm -rf "$target"; ln -s /dev/zero "$target"; }
empty() { rm -rf "$target"; : >"$target"; }
text() { rm -rf "$target"; printf "$1" >"$target"; }
append() { fresh; printf "$1" >>"$target"; }
prepend() { rm -rf "$target"; printf "$1" >"$target"; cat "$source" >>"$target"; }
# COUNT bytes of the one character given (tr's notation: \\001).
repeat_byte() { head -c "$1" /dev/zero | tr '\0' "$2"; }
one_mb_line() { fresh; repeat_byte 1048576 z >>"$target"; }
junk() { rm -rf "$target"; head -c "$1" "$orig/bmp/キャラ.bmp" >"$target"; }
crlf() {
    rm -rf "$target"
    while IFS= read -r line; do printf '%s\r\n' "$line"; done <"$source" >"$target"
}

# --- Judging one damaged file --------------------------------------------------------------------------

kind_files=0 kind_refused=0 kind_played=0 kind_agree=0
table=""

# check-assets calls a file an error exactly when the game refuses it; what the game plays on with but
# shows wrongly (a sheet too small for its cells, a short palette or blend table) is a warning there.

# judge NAME SHOWN-PATH ...sim arguments...: runs the game on $tree and check-assets on $tree.
judge() {
    name=$1 shown=$2
    shift 2
    kind_files=$((kind_files + 1))
    timeout 60 "$sim" --dir "$tree" --frames $frames "$@" >"$work/out" 2>"$work/err"
    rc=$?
    lines=$(wc -l <"$work/err" | tr -d ' ')
    if [ "$rc" -eq 0 ]; then
        kind_played=$((kind_played + 1))
        game=played
    elif [ "$rc" -eq "$refusal_status" ] && [ "$lines" -eq 1 ] && grep -q '^quillmarsh' "$work/err" &&
        grep -qF "$shown" "$work/err"; then
        kind_refused=$((kind_refused + 1))
        game=refused
    else
        echo "FAIL: $kind $name: exit status $rc, $lines lines on standard error:"
        head -c 600 "$work/err"
        fail=1
        game=broken
    fi
    if [ -z "$checked" ]; then
        kind_agree=$((kind_agree + 1))
    else
        timeout 60 "$tool" check-assets "$tree" >"$work/check.txt" 2>&1
        trc=$?
        if grep -qF "$shown: error:" "$work/check.txt"; then checker=refused; else checker=played; fi
        others=$(grep -v "^$shown: " "$work/check.txt" | grep -c ': error: ')
        if [ "$trc" -gt 1 ] || { [ "$checker" = refused ] && [ "$trc" -ne 1 ]; } || [ "$others" -ne 0 ]; then
            echo "FAIL: $kind $name: check-assets exit status $trc:"
            head -c 600 "$work/check.txt"
            fail=1
        elif [ "$checker" = "$game" ]; then
            kind_agree=$((kind_agree + 1))
        else
            echo "FAIL: $kind $name: the game $game it, check-assets says:"
            grep -F "$shown" "$work/check.txt" | head -c 600
            [ "$game" = refused ] && cat "$work/err"
            fail=1
        fi
    fi
}

begin_kind() {
    kind=$1
    kind_files=0 kind_refused=0 kind_played=0 kind_agree=0
    refusal_status=1 checked=yes
}
end_kind() {
    table="$table$(printf '%-14s %6d %8d %7d %6s' "$kind" "$kind_files" "$kind_refused" "$kind_played" \
        "$([ -n "$checked" ] && echo "$kind_agree" || echo "-")")
"
}
# Put the file back as it was made (or away, for the optional files the tree does not have).
absent=""
restore() {
    rm -rf "$target"
    [ -n "$absent" ] || cp "$source" "$target"
    [ -d "$tree/user_data" ] || { rm -f "$tree/user_data"; mkdir "$tree/user_data"; }
    rm -rf "$tree/user_data/Record.dat" "$tree/user_data/Record.dat.tmp"
}

# One damage to an asset: DAMAGE-NAME FUNCTION ARGS...; the asset is $path (a game path with '/').
damage() {
    name=$1
    shift
    "$@"
    judge "$path: $name" "$path" --input "$work/play.txt"
    restore
}

# --- Pictures ---------------------------------------------------------------------------------------

# Each sheet gets the first group; the second goes to every other sheet in turn (all of it to the palette's),
# so every damage meets several sheets while the run stays short.
bitmap_damages() {
    size=$(size_of "$source")
    offbits=$(od -An -tu4 -j 10 -N4 "$source" | tr -d ' ')
    width=$(od -An -td4 -j 18 -N4 "$source" | tr -d ' ')
    height=$(od -An -td4 -j 22 -N4 "$source" | tr -d ' ')
    damage "zero-length" empty
    damage "cut at 1" truncate_at 1
    damage "cut at 14 (file header only)" truncate_at 14
    damage "cut at 30 (inside the info header)" truncate_at 30
    damage "cut at 300 (inside the colour table)" truncate_at 300
    damage "cut at the pixels" truncate_at "$offbits"
    damage "cut in the pixel rows" truncate_at $((offbits + (size - offbits) / 2))
    damage "cut one byte short" truncate_at $((size - 1))
    damage "magic XM" set_text 0 XM
    damage "bfSize 4294967295" set32 2 4294967295
    damage "bfOffBits 4294967280" set32 10 4294967280
    damage "biSize 4294967295" set32 14 4294967295
    damage "biWidth 2147483647" set32 18 2147483647
    damage "half as wide, twice as tall" half_wide
    damage "biHeight -2147483648" set32 22 -2147483648
    damage "biBitCount 24" set16 28 24
    damage "biCompression 1 (RLE8)" set32 30 1
    damage "biClrUsed 4294967295" set32 46 4294967295
    damage "bit 7 of biHeight's top byte" flip 25 128
    damage "1000 bytes after the pixels" trailing 1000
    damage "a folder" folder
    damage "a dangling link" dangling
    turn=$((sheet_number % 2))
    sometimes "bfOffBits 20 (inside the headers)" set32 10 20
    sometimes "biSize 41" set32 14 41
    sometimes "biWidth -1" set32 18 -1
    sometimes "biWidth doubled" set32 18 $((width * 2))
    sometimes "biHeight halved" set32 22 $((height / 2))
    sometimes "biHeight 0" set32 22 0
    sometimes "biHeight negative (top-down)" set32 22 $((-height))
    sometimes "biPlanes 0" set16 26 0
    sometimes "biBitCount 4" set16 28 4
    sometimes "biClrUsed 257" set32 46 257
    sometimes "bit 7 of bfOffBits' high byte" flip 13 128
    sometimes "bit 0 of biSize" flip 14 1
    sometimes "bit 6 of biWidth's second byte" flip 19 64
    sometimes "65 MB after the pixels" sparse_tail 68157440
    sometimes "a link to /dev/zero" zero_device
}
sometimes() {
    [ "$turn" -eq 0 ] || [ "$sheet_number" -lt 0 ] && damage "$@"
    turn=$((1 - turn))
}

begin_kind pictures
sheet_number=0
for sheet in 文字 マップチップ キャラ 敵キャラ タイトル 固定文字 円形マスク; do
    path=bmp/$sheet.bmp source=$orig/$path target=$tree/$path
    bitmap_damages
    sheet_number=$((sheet_number + 1))
done
end_kind

# The palette is the colour table of the parts sheet, not a file of its own: its sheet gets the picture
# damages and some of its own.
begin_kind palette
path=bmp/アクセサリ.bmp source=$orig/$path target=$tree/$path sheet_number=-1
bitmap_damages
damage "biClrUsed 16 (a 16-colour table)" set32 46 16
damage "biClrUsed 1" set32 46 1
damage "colour table cut by bfOffBits 54" set32 10 54
damage "colour 0 made white" set_text 54 "$(printf '\377\377\377')"
damage "colour table entries' reserved bytes set" set_text 57 "$(printf '\377')"
end_kind

# --- The blend table ---------------------------------------------------------------------------------------

begin_kind "blend table"
path=bmp/新半透明パレット.dat source=$orig/$path target=$tree/$path
damage "zero-length" empty
for cut in 1 255 256 4096 32768 65535; do
    damage "cut at $cut" truncate_at $cut
done
damage "one byte more" trailing 1
damage "twice as long" trailing 65536
damage "65 MB long" sparse_tail 68157440
for at in 0 1 257 32768 65535; do
    damage "bit 7 of byte $at" flip $at 128
done
all_255() { rm -rf "$target"; repeat_byte 65536 '\377' >"$target"; }
damage "all entries 255" all_255
damage "a folder" folder
damage "a dangling link" dangling
damage "a link to /dev/zero" zero_device
damage "text in its place" text 'not a table\n'
end_kind

# --- Sounds: the damages go round the eleven files ----------------------------------------------------------

begin_kind sounds
wave_count=0
wave_names="カーソル移動 錆付いた扉 開く 出現 封印 ポーズ 死亡 悲鳴 うめき 悪魔の子 ヘルプ"
wave_damage() { # each damage on the next of the eleven files in turn
    wave=$(echo "$wave_names" | cut -d ' ' -f $((wave_count % 11 + 1)))
    wave_count=$((wave_count + 1))
    path=wave/$wave.wav source=$orig/$path target=$tree/$path
    damage "$@"
}
wave_damage "zero-length" empty
wave_damage "cut at 4" truncate_at 4
wave_damage "cut at 11" truncate_at 11
wave_damage "cut at 12 (RIFF header only)" truncate_at 12
wave_damage "cut inside fmt" truncate_at 30
wave_damage "cut at data's header" truncate_at 40
wave_damage "cut at the samples" truncate_at 44
wave_damage "cut in the samples" truncate_at 1000
wave_damage "magic RIFX" set_text 0 RIFX
wave_damage "form WAVX" set_text 8 WAVX
wave_damage "RIFF size 4294967295" set32 4 4294967295
wave_damage "RIFF size 0" set32 4 0
wave_damage "RIFF size 4" set32 4 4
wave_damage "fmt size 4294967280" set32 16 4294967280
wave_damage "fmt size 40" set32 16 40
wave_damage "fmt size 0" set32 16 0
wave_damage "format tag 3 (float)" set16 20 3
wave_damage "format tag 65534 (extensible)" set16 20 65534
wave_damage "channels 0" set16 22 0
wave_damage "channels 9" set16 22 9
wave_damage "rate 0" set32 24 0
wave_damage "rate 4294967295" set32 24 4294967295
wave_damage "block align 0" set16 32 0
wave_damage "bits 0" set16 34 0
wave_damage "bits 12" set16 34 12
wave_damage "bits 64" set16 34 64
wave_damage "data size 4294967295" set32 40 4294967295
wave_damage "data size 0" set32 40 0
wave_damage "data size 3" set32 40 3
wave_damage "data size 5 (odd)" set32 40 5
wave_damage "data renamed daXa" set_text 36 daXa
wave_damage "fmt renamed fmX" set_text 12 "fmX "
wave_damage "bit 7 of the RIFF size's top byte" flip 7 128
wave_damage "bit 4 of the channels" flip 22 16
wave_damage "bit 0 of the data size's top byte" flip 43 1
wave_damage "1000 bytes after the RIFF chunk" trailing 1000
wave_damage "65 MB after the RIFF chunk" sparse_tail 68157440
wave_damage "a folder" folder
wave_damage "a dangling link" dangling
wave_damage "a link to /dev/zero" zero_device
end_kind

# --- The first stage (the one a short run reaches) ---------------------------------------------------------

begin_kind stages
path=data/ステージ１.bgd source=$orig/$path target=$tree/$path
size=$(size_of "$source")
damage "zero-length" empty
damage "cut at 100 (reserved block)" truncate_at 100
damage "cut at 524 (before the header)" truncate_at 524
damage "cut at 583 (inside the header)" truncate_at 583
damage "cut at 584 (no tiles)" truncate_at 584
damage "cut one tile short" truncate_at $((size - 1))
damage "width 0" set32 524 0
damage "width -32" set32 524 -32
damage "width 2147483647" set32 524 2147483647
damage "width 33" set32 524 33
damage "width 2048" set32 524 2048
damage "width 64 (grid too short)" set32 524 64
damage "height -2147483648" set32 528 -2147483648
damage "pixelWidth 1023" set32 532 1023
damage "pixelHeight -1" set32 536 -1
sixteen_square() { fresh; { le32 16; le32 16; le32 512; le32 512; } | put "$target" 524; }
damage "16 x 16 tiles" sixteen_square
damage "tile kind 255" set_text 584 "$(printf '\377')"
damage "tile kind 16 at the end" set_text $((size - 1)) "$(printf '\020')"
all_walls() { truncate_at 584; repeat_byte 1024 '\001' >>"$target"; }
damage "every tile a wall" all_walls
damage "reserved block scribbled" set_text 0 "garbage in the reserved block"
damage "header tail scribbled" set_text 540 "forty-four bytes nobody reads, scribbled...."
damage "bit 7 of width's top byte" flip 527 128
damage "bit 3 of height" flip 528 8
damage "bit 0 of pixelWidth" flip 532 1
damage "1000 bytes after the tiles" trailing 1000
damage "65 MB after the tiles" sparse_tail 68157440
damage "a folder" folder
damage "a dangling link" dangling
damage "a link to /dev/zero" zero_device
end_kind

# --- Setting.ini (optional: nothing in it can stop the game) -----------------------------------------------

begin_kind Setting.ini
path=Setting.ini source=$work/nothing target=$tree/$path absent=yes
settings() { # NAME TEXT
    damage "$1" text "$2"
}
settings "zero-length" ''
settings "no =" 'Mode 1\n'
settings "= alone" '=\n'
settings "= at the very end" 'Mode='
settings "number to the end of the file" 'Mode=1'
settings "CR LF" 'Mode=1\r\n'
settings "byte-order mark" '\357\273\277Mode=1\n'
settings "value 99999999999999999999" 'Mode=99999999999999999999\n'
settings "value -99999999999999999999" 'Mode=-99999999999999999999\n'
settings "value -1" 'Mode=-1\n'
settings "letters" 'Mode=yes\n'
settings "NUL after =" 'Mode=\0001\n'
settings "control bytes" '\033[2J\001\002=\033\n'
settings "invalid UTF-8" '\377\376Mode=\3771\n'
long_key() { rm -rf "$target"; repeat_byte 3000 a >"$target"; printf '=1\n' >>"$target"; }
long_number() { text 'Mode='; repeat_byte 3000 7 >>"$target"; }
damage "3000 bytes before =" long_key
damage "3000 digits" long_number
damage "binary junk" junk 5000
damage "a folder" folder
damage "a dangling link" dangling
damage "a link to /dev/zero" zero_device
end_kind

# --- user_data/Record.dat (optional: a bad one is no record) -----------------------------------------------

begin_kind Record.dat
path=user_data/Record.dat source=$work/nothing target=$tree/$path absent=yes
# check-assets does not read the record, so it must not call any tree here broken either.
records() { damage "$1" text "$2"; }
records "zero-length" ''
records "1 byte" '\003'
records "2 bytes" '\003\000'
records "3 bytes" '\003\000\000'
records "5 bytes" '\003\000\000\000\000'
records "-1" '\377\377\377\377'
records "2147483647" '\377\377\377\177'
records "-2147483648" '\000\000\000\200'
records "100" '\144\000\000\000'
records "99 (two digits)" '\143\000\000\000'
records "text 12" '12\n'
records "bit 7 of the top byte of 3" '\003\000\000\200'
damage "1000 bytes" junk 1000
damage "65 MB" sparse_tail 68157440
damage "a folder" folder
damage "a dangling link" dangling
damage "a link to /dev/zero" zero_device
user_data_file() { rm -rf "$tree/user_data"; : >"$tree/user_data"; }
damage "a file for user_data" user_data_file
damage "user_data missing" rm -rf "$tree/user_data"
damage "Record.dat.tmp a folder" mkdir "$tree/user_data/Record.dat.tmp"
stale_temporary() { printf '\011\000\000\000' >"$tree/user_data/Record.dat.tmp"; }
damage "a stale Record.dat.tmp" stale_temporary
end_kind

# --- Input scripts and recordings for the runner (refused with exit 2 and one line naming the file) ---------

absent=""
for which in script recording; do
    begin_kind "$which"
    checked="" refusal_status=2
    if [ "$which" = script ]; then source=$work/play.txt; else source=$work/recording.txt; fi
    target=$work/damaged.txt path=damaged.txt
    size=$(size_of "$source")
    input() { # NAME DAMAGE ARGS...
        name=$1
        shift
        "$@"
        judge "$which: $name" "$target" --input "$target"
        restore
    }
    input "zero-length" empty
    input "cut at 3" truncate_at 3
    input "cut in a line" truncate_at $((size / 2 + 1))
    input "cut one byte short" truncate_at $((size - 1))
    input "byte-order mark" prepend '\357\273\277'
    input "byte-order mark twice" prepend '\357\273\277\357\273\277'
    input "frames going back" append '10: z\n'
    input "frame 99999999999999999999" append '99999999999999999999: z\n'
    input "frame -1" prepend '\055\061: z\n'
    input "seed 99999999999999999999" prepend 'seed 99999999999999999999\n'
    input "seed -5" prepend 'seed -5\n'
    input "jx=70000" append '290: jx=70000\n'
    input "jb=-1" append '290: jb=-1\n'
    input "unknown control" append '290: jump\n'
    input "no colon" append '290 z\n'
    input "NUL byte" append '290: z\000x\n'
    input "escape sequence" append '290: \033[2J\n'
    input "CR LF line ends" crlf
    input "a 1 MB line" one_mb_line
    input "binary junk" junk 5000
    input "bit 4 of byte 5" flip 5 16
    input "a folder" folder
    input "a dangling link" dangling
    input "a link to /dev/zero" zero_device
    end_kind
done

echo "kind             files  refused  played  agree"
printf '%s' "$table"
exit $fail
