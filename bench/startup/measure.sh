#!/usr/bin/env bash
# Start-up as a user meets it: exec to the X server mapping the main window (MapNotify on the
# root window, see MapWatch.cpp), and peak resident memory of the ended process, for Squadlink
# and an empty Qt main window built with the same Qt, in alternating pairs under one Xvfb.
# Each program is measured with a fresh home per run (first start) and with one home reused
# across runs (later starts).
# Usage: bench/startup/measure.sh <build dir> [pairs]
set -euo pipefail
build=${1:-build/release}
pairs=${2:-9}
squadlink="$build/src/app/squadlink"
empty="$build/bench/startup/empty_window"
watch="$build/bench/startup/map_watch"
for f in "$squadlink" "$empty" "$watch"; do
    [ -x "$f" ] || { echo "missing $f (build the release preset first)"; exit 1; }
done
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xvfb.sh
. "$here/xvfb.sh"

# One run in the given home: prints "<ms to mapped window> <peak RSS kB>".
measure() {
    local home=$1 title=$2; shift 2
    mkdir -p "$home/run" && chmod 700 "$home/run"
    env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
        XDG_RUNTIME_DIR="$home/run" TMPDIR="$home" DISPLAY="$display" \
        "$watch" "$title" 300 "$@" 2>/dev/null
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# The median over the pairs of one figure made from each pair's two starts (Squadlink's is $1,
# the empty window's $3).
paired() {
    paste -d' ' "$work/$1-squadlink.txt" "$work/$1-empty.txt" |
        awk "{printf \"%.4f\\n\", $2}" | median
}

for kind in fresh reused; do
    : > "$work/$kind-squadlink.txt"; : > "$work/$kind-empty.txt"
done
# The reused homes have seen one start already.
measure "$work/reused-s" "Squadlink v" "$squadlink" >/dev/null
measure "$work/reused-e" "Empty Qt window" "$empty" >/dev/null
for i in $(seq "$pairs"); do
    measure "$work/fresh-e$i" "Empty Qt window" "$empty" >> "$work/fresh-empty.txt"
    measure "$work/fresh-s$i" "Squadlink v" "$squadlink" >> "$work/fresh-squadlink.txt"
    measure "$work/reused-e" "Empty Qt window" "$empty" >> "$work/reused-empty.txt"
    measure "$work/reused-s" "Squadlink v" "$squadlink" >> "$work/reused-squadlink.txt"
done

echo "pairs: $pairs (medians; exec to MapNotify of the main window, peak RSS of the process)"
for kind in fresh reused; do
    st=$(cut -d' ' -f1 "$work/$kind-squadlink.txt" | median)
    sm=$(cut -d' ' -f2 "$work/$kind-squadlink.txt" | median)
    et=$(cut -d' ' -f1 "$work/$kind-empty.txt" | median)
    em=$(cut -d' ' -f2 "$work/$kind-empty.txt" | median)
    # Each pair's own ratio: the two starts ran a moment apart, so a machine that slows down
    # or speeds up over the run moves both; the median of these is steadier than the ratio of
    # the medians.
    pr=$(paired "$kind" '$1 / $3')
    # The gap in milliseconds: the work Squadlink does beyond the empty window. It moves less
    # than the ratio when the whole machine runs faster or slower.
    gap=$(paired "$kind" '$1 - $3')
    awk -v k="$kind" -v s="$st" -v e="$et" -v sm="$sm" -v em="$em" -v pr="$pr" -v gap="$gap" 'BEGIN {
        printf "%-6s home: empty window %6.1f ms %6.1f MB | Squadlink %6.1f ms %6.1f MB | ratio %.2f, paired %.2f (target <= 1.3), gap %+.1f ms | memory +%.1f MB (target <= 10)\n",
            k, e, em / 1024, s, sm / 1024, s / e, pr, gap, (sm - em) / 1024 }'
done
