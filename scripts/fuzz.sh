#!/usr/bin/env bash
# Builds the libFuzzer targets and fuzzes each for its share of a bounded time.
# Usage: scripts/fuzz.sh <seconds>   (default 60, shared among the targets)
# Exits non-zero when a fuzzer finds a crash; the input is kept in build/fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "usage: $0 <seconds>" >&2
    exit 2
fi

# target, seed corpus, longest input worth trying, share of the time in percent
targets=(
    "datagram_fuzzer fuzz/corpus/datagram 65507 25"
    "server_reply_fuzzer fuzz/corpus/server-reply 65507 15"
    "chat_fuzzer fuzz/corpus/chat 4096 15"
    "server_files_fuzzer fuzz/corpus/server-files 8192 15"
    "libraryfolders_fuzzer fuzz/corpus/libraryfolders 65536 15"
)

names=()
for t in "${targets[@]}"; do
    read -r name _ <<<"$t"
    names+=("$name")
done
cmake --preset fuzz
cmake --build --preset fuzz --target "${names[@]}"

build_dir=build/fuzz
artifacts="$build_dir/artifacts"
mkdir -p "$artifacts"

for t in "${targets[@]}"; do
    read -r name corpus max_len share <<<"$t"
    time=$((seconds * share / 100))
    [ "$time" -ge 1 ] || time=1
    fuzzer="$build_dir/fuzz/$name"
    # The fuzzer adds what it finds to its corpus; keep the committed seeds untouched.
    work=$(mktemp -d)
    cp "$corpus"/* "$work/"
    status=0
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
done
