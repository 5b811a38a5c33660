#!/usr/bin/env bash
# Builds the libFuzzer targets and fuzzes what the program parses (datagrams, Steam's library
# list) for a bounded total time: most of it on datagrams, the network's input.
# Usage: scripts/fuzz.sh <seconds>   (default 60)
# Exits non-zero when a fuzzer finds a crash; the input is kept in build/fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "usage: $0 <seconds>" >&2
    exit 2
fi

cmake --preset fuzz
cmake --build --preset fuzz --target datagram_fuzzer libraryfolders_fuzzer

build_dir=build/fuzz
artifacts="$build_dir/artifacts"
mkdir -p "$artifacts"

library_seconds=$((seconds / 5))
if [ "$library_seconds" -lt 1 ]; then library_seconds=1; fi
datagram_seconds=$((seconds - library_seconds))
if [ "$datagram_seconds" -lt 1 ]; then datagram_seconds=1; fi

# run <fuzzer> <corpus folder> <seconds> <max input length>
run() {
    local name="$1" corpus="$2" time="$3" max_len="$4"
    local fuzzer="$build_dir/fuzz/$name"
    # The fuzzer adds what it finds to its corpus; keep the committed seeds untouched.
    local work
    work=$(mktemp -d)
    cp "fuzz/corpus/$corpus"/* "$work/"
    local status=0
    timeout --kill-after=30 $((time + 120)) \
        "$fuzzer" "$work" \
        -max_total_time="$time" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" || status=$?
    rm -rf "$work"
    if [ "$status" -ne 0 ]; then
        echo "$name failed (exit $status); reproduce with: $fuzzer $artifacts/<file>" >&2
        exit "$status"
    fi
    echo "$name: no crash in ${time}s"
}

run datagram_fuzzer datagram "$datagram_seconds" 65507
run libraryfolders_fuzzer libraryfolders "$library_seconds" 65536
