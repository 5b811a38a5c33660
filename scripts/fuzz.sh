#!/usr/bin/env bash
# Builds the libFuzzer targets and fuzzes for a bounded time in all: datagram handling gets
# three quarters of it, the readers of the update server's files the rest.
# Usage: scripts/fuzz.sh <seconds>   (default 60)
# Exits non-zero when a fuzzer finds a crash; the input is kept in build/fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 2 ]; then
    echo "usage: $0 <seconds>   (at least 2)" >&2
    exit 2
fi

cmake --preset fuzz
cmake --build --preset fuzz --target datagram_fuzzer server_files_fuzzer

build_dir=build/fuzz
artifacts="$build_dir/artifacts"
mkdir -p "$artifacts"

# run <target> <corpus folder> <seconds> <max input length>
run() {
    local target=$1 corpus=$2 time=$3 max_len=$4
    local fuzzer="$build_dir/fuzz/$target"
    # The fuzzer adds what it finds to its corpus; keep the committed seeds untouched.
    local work
    work=$(mktemp -d)
    cp "$corpus"/* "$work/"
    local status=0
    timeout --kill-after=30 $((time + 120)) \
        "$fuzzer" "$work" \
        -max_total_time="$time" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" || status=$?
    rm -rf "$work"
    if [ "$status" -ne 0 ]; then
        echo "$target failed (exit $status); reproduce with: $fuzzer $artifacts/<file>" >&2
        exit "$status"
    fi
    echo "$target: no crash in ${time}s"
}

datagram_seconds=$((seconds * 3 / 4))
[ "$datagram_seconds" -ge 1 ] || datagram_seconds=1
files_seconds=$((seconds - datagram_seconds))
[ "$files_seconds" -ge 1 ] || files_seconds=1

run datagram_fuzzer fuzz/corpus/datagram "$datagram_seconds" 65507
# Files are read up to 1 MB; a few kilobytes reach every rule of the readers.
run server_files_fuzzer fuzz/corpus/server-files "$files_seconds" 8192
