#!/bin/sh
# Fails when an #include points up a layer: the layers, and which folder may include which, are written here.
#
# Floors, lowest first. A file may include files of its own folder and of any floor below its own; folders on
# one floor never include each other. The backends (platform/sdl, platform/headless, platform/win32,
# platform/web) stand on the interface in platform/ and on nothing else: they include base/, platform/ and their
# own folder, and only the programs' entries (app/main), the runner and tools, the benchmarks and the fuzz
# targets include them.
# Only platform/ includes the systems' own headers (SDL, Windows, Emscripten). Tests may include anything.
# An include naming a file that is not there (an old name after a move) fails too, tests included, whatever
# the platform the include is built on.
LAYERS='
base
platform
video sound input
game
app
tools/assets
app/main tools bench fuzz
'
BACKENDS='platform/sdl platform/headless platform/win32 platform/web'
set -eu
cd "${1:-$(dirname "$0")/..}"

# The sources: git's list in a checkout (new files too), else every C++ file outside the build folders.
sources() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files --cached --others --exclude-standard '*.cpp' '*.h' | sort -u | while read -r file; do
            if [ -f "$file" ]; then echo "$file"; fi
        done
    else
        find . \( -name 'build*' -o -name '.*' ! -name . \) -prune -o \
            \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||'
    fi
}

sources |
    xargs grep -H '^[[:space:]]*#[[:space:]]*include[[:space:]]*\("[^"]*/[^"]*"\|<[^>]*>\)' |
    awk -v layers="$LAYERS" -v backends="$BACKENDS" -v known="$(sources | tr '\n' ' ')" '
    function folder(path) { sub(/\/[^\/]*$/, "", path); return path }
    BEGIN {
        n = split(layers, lines, "\n")
        for (i = 1; i <= n; i++) {
            if (lines[i] !~ /[^ ]/) continue
            level++
            m = split(lines[i], dirs, " ")
            for (j = 1; j <= m; j++) floor[dirs[j]] = level
        }
        m = split(backends, dirs, " ")
        for (j = 1; j <= m; j++) backend[dirs[j]] = 1
        m = split(known, files, " ")
        for (j = 1; j <= m; j++) exists[files[j]] = 1
        split("app/main tools bench fuzz", dirs, " ")
        for (j in dirs) reachesBackends[dirs[j]] = 1
    }
    {
        seen++
        file = $0; sub(/:.*/, "", file)
        from = folder(file)
        test = file ~ /^tests\//
        if ($0 ~ /include[[:space:]]*</) {
            if (test) next
            header = $0; sub(/^[^<]*</, "", header); sub(/>.*/, "", header)
            if (header ~ /^(SDL|emscripten|windows\.h|ddraw\.h|dsound\.h|mmsystem\.h|shellapi\.h|io\.h)/ &&
                from != "platform" && !(from in backend)) {
                print file ": #include <" header ">: only platform/ includes the systems\x27 own headers"; bad++
            }
            next
        }
        target = $0; sub(/^[^"]*"/, "", target); sub(/".*/, "", target)
        to = folder(target)
        why = ""
        if (!(target in exists)) {
            why = "no such file (renamed?)"
        } else if (from == to || test) {
            next
        } else if (to in backend) {
            if (!(from in reachesBackends)) why = "only the programs\x27 entries, tools and bench include a backend"
        } else if (from in backend) {
            if (to != "base" && to != "platform") why = "a backend includes only base/, platform/ and its own folder"
        } else if (!(from in floor) || !(to in floor)) {
            why = "a folder on no floor: add it to the layers in tests/check_layers.sh"
        } else if (floor[to] >= floor[from]) {
            why = to " is not below " from
        }
        if (why != "") { print file ": #include \"" target "\": " why; bad++ }
    }
    END {
        if (!seen) { print "check_layers: no sources found"; exit 1 }
        if (bad) { print "check_layers: " bad " include(s) to fix"; exit 1 }
        print "check_layers: every include points down"
    }'
