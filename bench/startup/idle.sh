#!/usr/bin/env bash
# Idle cost of a copy left running with no peers: CPU share of one core and wake-ups (context
# switches of all its threads) per second, for a Fighter, a War Arranger and an empty Qt main
# window, each measured over the same span after it has settled.
# Usage: bench/startup/idle.sh <build dir> [seconds]
set -euo pipefail
build=${1:-build/release}
seconds=${2:-60}
settle=${SETTLE:-60}
squadlink="$build/src/app/squadlink"
empty="$build/bench/startup/empty_window"
floor="$build/bench/startup/wake_each_second"
for f in "$squadlink" "$empty" "$floor"; do
    [ -x "$f" ] || { echo "missing $f (build the release preset first)"; exit 1; }
done
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xvfb.sh
. "$here/xvfb.sh"
# A desktop has a window manager, which names the active window; the bench's bare display has
# none, and the program then asks for the focus instead. IDLE_WM=openbox (or another) measures
# the desktop case.
if [ -n "${IDLE_WM:-}" ]; then
    DISPLAY="$display" $IDLE_WM >/dev/null 2>&1 &
    wm=$!
    trap 'kill "$wm" "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
    sleep 2
    kill -0 "$wm" 2>/dev/null || { echo "the window manager $IDLE_WM did not start"; exit 1; }
fi

# CPU time in nanoseconds (the scheduler's own account, finer than clock ticks) and context
# switches of a process and all its threads.
sample() {
    local pid=$1 ns=0 switches=0
    for task in /proc/"$pid"/task/*; do
        ns=$((ns + $(cut -d' ' -f1 "$task/schedstat")))
        switches=$((switches + $(awk '/ctxt_switches/ {n += $2} END {print n}' "$task/status")))
    done
    echo "$ns $switches"
}

# Starts the program in a fresh home (with the given settings file content), lets it settle,
# then measures it for $seconds.
idle() {
    local label=$1 settings=$2; shift 2
    local home="$work/home-$label"
    mkdir -p "$home/run" "$home/config/Squadlink" && chmod 700 "$home/run"
    [ -n "$settings" ] && printf '%s\n' "$settings" > "$home/config/Squadlink/Squadlink.conf"
    env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
        XDG_RUNTIME_DIR="$home/run" TMPDIR="$home" DISPLAY="$display" "$@" >/dev/null 2>&1 &
    local pid=$!
    # Past the start-up work, the monthly update check (5 s after start) and the first banner
    # rotation (45 s), each up to 10 s more for an update server that does not answer.
    sleep "$settle"
    read -r t0 s0 < <(sample "$pid")
    sleep "$seconds"
    read -r t1 s1 < <(sample "$pid")
    kill -TERM "$pid"; wait "$pid" 2>/dev/null || true
    awk -v l="$label" -v t=$((t1 - t0)) -v s=$((s1 - s0)) -v d="$seconds" 'BEGIN {
        printf "%-14s CPU %.4f %% of a core, %.2f wake-ups per second\n", l, 100 * t / 1e9 / d, s / d }'
}

echo "idle over ${seconds} s after ${settle} s to settle, window manager: ${IDLE_WM:-none} (target: within 0.05 % of a core of the empty window)"
idle "empty-window" "" "$empty"
# What one wake-up a second costs on this machine by itself: the part of a ticking clock's
# cost that no code of the program's can remove.
idle "wake-per-sec" "" "$floor"
# What a window showing the seconds costs done the plain way: the same empty window with a
# stock QLabel clock in its status bar.
idle "clock-window" "" "$empty" --clock
idle "fighter" "" "$squadlink"
idle "war-arranger" "[Settings]
ServerMode=True
ClientMode=False" "$squadlink"
