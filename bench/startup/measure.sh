#!/usr/bin/env bash
# Measures, under Xvfb, the time from exec to the main window being mapped and the peak resident
# memory of Squadlink and of an empty Qt window, alternating runs so both see the same machine.
# Usage: bench/startup/measure.sh <build dir> [runs]
set -euo pipefail
build=${1:-build/release}
runs=${2:-10}
squadlink="$build/src/app/squadlink"
empty="$build/bench/startup/empty_window"
for f in "$squadlink" "$empty"; do
    [ -x "$f" ] || { echo "missing $f (build the release preset first)"; exit 1; }
done

work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
# Xvfb picks a free display itself and tells its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
display=:$(head -n 1 "$work/display")

# One run: prints "<milliseconds to mapped window> <peak RSS in kB>".
measure() {
    local title=$1; shift
    local home="$work/home-$RANDOM"
    mkdir -p "$home/run" && chmod 700 "$home/run"
    local start end
    start=$(date +%s%N)
    env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
        XDG_RUNTIME_DIR="$home/run" TMPDIR="$home" DISPLAY="$display" \
        /usr/bin/time -f "%M" -o "$work/rss" "$@" >/dev/null 2>&1 &
    local pid=$!
    until xwininfo -display "$display" -root -tree 2>/dev/null | grep -q "\"$title"; do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "$* ended without showing \"$title\"" >&2
            exit 1
        fi
        sleep 0.005
    done
    end=$(date +%s%N)
    # Let the program settle, then end it the way the desktop does.
    sleep 0.5
    pkill -TERM -P "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo "$(( (end - start) / 1000000 )) $(tail -n 1 "$work/rss")"
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

: > "$work/squadlink.txt"; : > "$work/empty.txt"
for _ in $(seq "$runs"); do
    measure "Empty Qt window" "$empty" >> "$work/empty.txt"
    measure "Squadlink v" "$squadlink" >> "$work/squadlink.txt"
done

st=$(cut -d' ' -f1 "$work/squadlink.txt" | median); sm=$(cut -d' ' -f2 "$work/squadlink.txt" | median)
et=$(cut -d' ' -f1 "$work/empty.txt" | median); em=$(cut -d' ' -f2 "$work/empty.txt" | median)
echo "runs: $runs (medians)"
echo "empty Qt window: ${et} ms to window, peak RSS ${em} kB"
echo "Squadlink:       ${st} ms to window, peak RSS ${sm} kB"
awk -v s="$st" -v e="$et" -v sm="$sm" -v em="$em" 'BEGIN {
    printf "start-up ratio: %.2f (target <= 1.5)\n", s / e;
    printf "memory difference: %.1f MB (target <= 15 MB)\n", (sm - em) / 1024 }'
