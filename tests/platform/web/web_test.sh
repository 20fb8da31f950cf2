#!/bin/bash
# Builds the browser game with Emscripten, checks that the runner built for the browser's engine (run under
# Node) gives the desktop runner's traces and pictures byte for byte, then plays the page in headless
# Chromium (page_test.mjs).
# Usage: web_test.sh LINUX_BUILD [WEB_BUILD]
#   LINUX_BUILD: a desktop build holding quillmarsh-tool and quillmarsh-sim (the README's build folder)
#   WEB_BUILD:   where to build for the browser (default: build-web in the source tree)
set -euo pipefail
SELF=$(readlink -f "$0")
HERE=$(dirname "$SELF")
SOURCE=$(cd "$HERE/../../.." && pwd)
LINUX=$(readlink -f "$1")
WEB=$(readlink -f "${2:-$SOURCE/build-web}")
OUT=$WEB/web-test
fail=0
check() { if "$@"; then echo "PASS: $*"; else echo "FAIL: $*"; fail=1; fi; }

started=$(date +%s)
emcmake cmake -S "$SOURCE" -B "$WEB" -DQUILLMARSH_HOST_TOOL="$LINUX/quillmarsh-tool" -DQUILLMARSH_WERROR=ON > /dev/null
cmake --build "$WEB" -j2
built=$(date +%s)
for f in quillmarsh.wasm quillmarsh.js quillmarsh.data quillmarsh.html; do
    echo "$f: $(wc -c < "$WEB/$f") bytes, $(gzip -9c "$WEB/$f" | wc -c) gzipped"
done

rm -rf "$OUT" && mkdir -p "$OUT"
fresh() { # a folder holding only the asset tree
    rm -rf "$1" && mkdir -p "$1" && cp -r "$WEB/bmp" "$WEB/data" "$WEB/wave" "$1/"
}

# The same runs on both engines, each in its own fresh folder (a run may write the record).
cat > "$OUT/script.txt" <<'EOF'
# The title, a game, walking and opening, a pause, the window made inactive and active, and Esc.
30: down
40: up
60: z
420: right
470: right z
520: down
600: down x
640: left
700: left z
760: up
820: space
860: space
900: inactive
960: active
1000: right jx=65535 jb=1
1100: jx=32767 jb=0
1300: z
2400: esc
EOF
compare_runs() { # name, runner arguments...
    local name=$1
    shift
    fresh "$OUT/$name-linux"
    fresh "$OUT/$name-web"
    local rl=0 rw=0 pid
    # Both at once: one core each.
    "$LINUX/quillmarsh-sim" --dir "$OUT/$name-linux" --trace "$OUT/$name-linux.trace" \
        --screenshot "700:$OUT/$name-linux.png" "$@" > /dev/null 2>&1 &
    pid=$!
    node --no-experimental-fetch "$WEB/quillmarsh-sim.js" --dir "$OUT/$name-web" --trace "$OUT/$name-web.trace" \
        --screenshot "700:$OUT/$name-web.png" "$@" > /dev/null 2>&1 || rw=$?
    wait "$pid" || rl=$?
    echo "$name: $(wc -l < "$OUT/$name-linux.trace") frames traced; exit status $rl on Linux, $rw under Node"
    check [ "$rl" = "$rw" ]
    check cmp "$OUT/$name-linux.trace" "$OUT/$name-web.trace"
    # Both write the same PNG bytes only by chance of encoder; the pixels must agree.
    local differ
    differ=$({ compare -metric AE "$OUT/$name-linux.png" "$OUT/$name-web.png" null: 2>&1 || true; } | cut -d' ' -f1)
    check [ "$differ" = 0 ]
}
compare_runs script --seed 11 --frames 2600 --input "$OUT/script.txt" --trace-enemies
compare_runs monkey3 --seed 7 --frames 20000 --monkey 3
compare_runs monkey8 --seed 1234567 --frames 12000 --monkey 8
# The record a run wrote must agree as well.
check cmp "$OUT/monkey3-linux/user_data/Record.dat" "$OUT/monkey3-web/user_data/Record.dat"

# The pictures the page must show: the settled title, and the title showing a record of 3.
fresh "$OUT/title"
"$LINUX/quillmarsh-sim" --dir "$OUT/title" --frames 460 --screenshot "450:$OUT/title.png" > /dev/null
fresh "$OUT/record"
mkdir -p "$OUT/record/user_data"
printf '\003\000\000\000' > "$OUT/record/user_data/Record.dat"
"$LINUX/quillmarsh-sim" --dir "$OUT/record" --frames 460 --screenshot "450:$OUT/record-title.png" > /dev/null
check bash -c "! cmp -s '$OUT/title.png' '$OUT/record-title.png'"

# A page whose title picture is refused: its first two bytes are not "BM". The line it must show is the
# one the desktop game prints for the same file.
BROKEN=$OUT/broken
rm -rf "$BROKEN" && mkdir -p "$BROKEN"
cp "$WEB"/quillmarsh.html "$WEB"/quillmarsh.js "$WEB"/quillmarsh.wasm "$WEB"/quillmarsh.data "$BROKEN/"
start=$(node -e '
  const js = require("fs").readFileSync(process.argv[1], "utf8");
  const m = js.match(/"filename":\s*"\/bmp\/タイトル\.bmp",\s*"start":\s*(\d+)/);
  if (!m) process.exit(1);
  console.log(m[1]);' "$BROKEN/quillmarsh.js")
printf 'XX' | dd of="$BROKEN/quillmarsh.data" bs=1 seek="$start" conv=notrunc status=none
fresh "$OUT/broken-tree"
printf 'XX' | dd of="$OUT/broken-tree/bmp/タイトル.bmp" bs=1 conv=notrunc status=none
"$LINUX/quillmarsh-sim" --dir "$OUT/broken-tree" --frames 5 > /dev/null 2> "$OUT/broken.err" || true
line=$(grep -m1 '^quillmarsh: ' "$OUT/broken.err" || true)
echo "a refused title picture: $line"
check [ -n "$line" ]

# A desktop recording for the page to play: the runner's session of a script that pauses at frame 660,
# cut before the close that ended it; and the runner's picture of the frames after it (held still).
fresh "$OUT/desktop-replay"
printf '%s\n' 'seed 23' '30: down' '40: up' '60: z' '420: right' '470: right z' '520: down' '600: left' \
    '660: space' >"$OUT/desktop-script.txt"
QUILLMARSH_RECORD="$OUT/desktop-recorded.txt" "$LINUX/quillmarsh-sim" --dir "$OUT/desktop-replay" \
    --input "$OUT/desktop-script.txt" --frames 700 > /dev/null
grep -v ' esc$' "$OUT/desktop-recorded.txt" > "$OUT/desktop-replay.txt"
fresh "$OUT/desktop-replay"
"$LINUX/quillmarsh-sim" --dir "$OUT/desktop-replay" --input "$OUT/desktop-replay.txt" --frames 700 \
    --screenshot "690:$OUT/desktop-690.png" > /dev/null
check [ "$(tail -n 1 "$OUT/desktop-replay.txt")" = "660: space" ]
fresh "$OUT/saved-run"

node "$HERE/page_test.mjs" --build "$WEB" --title "$OUT/title.png" --record-title "$OUT/record-title.png" \
    --record 3 --broken "$BROKEN" --broken-line "$line" --shots "$OUT" \
    --runner "$LINUX/quillmarsh-sim" --runner-dir "$OUT/saved-run" --desktop-replay "$OUT/desktop-replay.txt" \
    --desktop-shot "$OUT/desktop-690.png" --desktop-end 660 || fail=1
echo "web test: build $((built - started)) s, checks $(($(date +%s) - built)) s"
exit $fail
