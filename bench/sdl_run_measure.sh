#!/bin/sh
# The SDL game under a real X server, measured: start-up to the first presented frame, peak memory, and the
# frame gate's processor use and frame spacing over 2000 frames of play. Run inside xvfb-run, from the
# source folder: xvfb-run -a -s "-screen 0 640x480x24" sh bench/sdl_run_measure.sh build [spin]
# The game as players start it sleeps between frames; "spin" measures it with QUILLMARSH_LOW_POWER=0.
# Needs python3 (for the monotonic clock), xdotool and /usr/bin/time (Debian package "time").
set -u
cd "$1" || exit 1
mode=${2:-low-power}
export SDL_AUDIODRIVER=dummy
export QUILLMARSH_FRAME_LOG="$PWD/frames-$mode.log"
case "$mode" in
low-power) unset QUILLMARSH_LOW_POWER ;;
spin) export QUILLMARSH_LOW_POWER=0 ;;
*) echo "sdl_run_measure.sh: the mode is low-power (the default) or spin, not '$mode'" >&2; exit 2 ;;
esac
rm -f "$QUILLMARSH_FRAME_LOG" launched.txt

now_us() { python3 -c 'import time; print(time.monotonic_ns() // 1000)'; }
# The launch time is taken on the monotonic clock the frame log uses, just before /usr/bin/time starts.
python3 -c '
import os, time
open("launched.txt", "w").write(str(time.monotonic_ns() // 1000))
os.execv("/usr/bin/time", ["time", "-v", "-o", "rss-'"$mode"'.txt", "./quillmarsh"])' &
timer=$!
timeout 20 xdotool search --sync --name '^Quillmarsh$' >/dev/null 2>&1
game=$(ps -o pid= --ppid "$timer" | tr -d ' ')
xdotool search --sync --name '^Quillmarsh$' windowfocus --sync >/dev/null 2>&1
press() { xdotool keydown "$1"; sleep 0.15; xdotool keyup "$1"; }
sleep 1; press z; sleep 0.7; press z
# Play from frame 400 on: the first frames include the start-up, the title and the stage's loading.
sleep 3
ticks() { awk '{ print $14 + $15 }' "/proc/$game/stat"; }
cpu0=$(ticks); wall0=$(now_us)
sleep 22.5
cpu1=$(ticks); wall1=$(now_us)
# Frames that run late (a busy machine) would leave fewer than 2000 to measure: play on a while longer.
sleep 10
kill -TERM "$game"
wait "$timer"
hz=$(getconf CLK_TCK)
echo "mode: $mode"
awk -v c0="$cpu0" -v c1="$cpu1" -v w0="$wall0" -v w1="$wall1" -v hz="$hz" 'BEGIN {
    printf "processor use from /proc over %.1f s of play: %.1f%% of one core\n", (w1 - w0) / 1e6,
        100 * (c1 - c0) / hz / ((w1 - w0) / 1e6) }'
grep -E 'Maximum resident|Elapsed' "rss-$mode.txt"
python3 - "$QUILLMARSH_FRAME_LOG" "$(cat launched.txt)" <<'PY'
import statistics, sys
first, count = 400, 2000
opened, main, cpu = [], 0, None
for line in open(sys.argv[1]):
    part = line.split()
    if part[0] == "main":
        main = int(part[1])
    elif part[0] == "frame":
        opened.append((int(part[1]), int(part[2])))
    elif part[0] == "cpu":
        cpu = (int(part[1]), int(part[2]))
launched = int(sys.argv[2])
present = opened[0][1]
print("first present: %.1f ms after launch (%.1f ms after main); frames logged: %d"
      % ((present - launched) / 1000, (present - main) / 1000, len(opened)))
print("processor use from the log, first frame to the end: %.1f%% of one core" % (100 * cpu[0] / cpu[1]))
times = [o for o, _ in opened[first - 1:first + count]]
d = sorted((b - a) / 1000 for a, b in zip(times, times[1:]))
print("intervals over %d frames: mean %.3f ms, sd %.3f, min %.3f, p1 %.3f, median %.3f, p99 %.3f, max %.3f"
      % (len(d), statistics.mean(d), statistics.pstdev(d), d[0], d[len(d) // 100], statistics.median(d),
         d[len(d) * 99 // 100], d[-1]))
# The gate reads a millisecond clock, so an interval of 10.999 or 12.001 ms is on time; more than 0.1 ms
# beyond 10..12 is a frame that opened late (or, after one, early).
counts = {}
for x in d:
    counts[round(x)] = counts.get(round(x), 0) + 1
print("to the nearest millisecond: %s; more than 0.1 ms outside 10..12 ms: %d"
      % (", ".join("%d ms: %d" % kv for kv in sorted(counts.items())),
         sum(1 for x in d if x < 9.9 or x > 12.1)))
PY
