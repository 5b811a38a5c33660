#!/usr/bin/env bash
# Builds the libFuzzer targets and fuzzes datagram handling for a bounded time.
# Usage: scripts/fuzz.sh <seconds>   (default 60)
# Exits non-zero when the fuzzer finds a crash; the input is kept in build/fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "usage: $0 <seconds>" >&2
    exit 2
fi

cmake --preset fuzz
cmake --build --preset fuzz --target datagram_fuzzer chat_fuzzer

build_dir=build/fuzz
fuzzer="$build_dir/fuzz/datagram_fuzzer"
artifacts="$build_dir/artifacts"
mkdir -p "$artifacts"

# The fuzzer adds what it finds to its corpus; keep the committed seeds untouched.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp fuzz/corpus/datagram/* "$work/"

status=0
timeout --kill-after=30 $((seconds + 120)) \
    "$fuzzer" "$work" \
    -max_total_time="$seconds" -max_len=65507 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" || status=$?

if [ "$status" -ne 0 ]; then
    echo "datagram_fuzzer failed (exit $status); reproduce with: $fuzzer $artifacts/<file>" >&2
    exit "$status"
fi
echo "datagram_fuzzer: no crash in ${seconds}s"

# Received chat shown in the chat view, for a quarter of the time.
chat_seconds=$(( seconds / 4 > 10 ? seconds / 4 : 10 ))
chat_fuzzer="$build_dir/fuzz/chat_fuzzer"
chat_work=$(mktemp -d)
trap 'rm -rf "$work" "$chat_work"' EXIT
cp fuzz/corpus/chat/* "$chat_work/"
status=0
timeout --kill-after=30 $((chat_seconds + 120)) \
    "$chat_fuzzer" "$chat_work" \
    -max_total_time="$chat_seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" || status=$?
if [ "$status" -ne 0 ]; then
    echo "chat_fuzzer failed (exit $status); reproduce with: $chat_fuzzer $artifacts/<file>" >&2
    exit "$status"
fi
echo "chat_fuzzer: no crash in ${chat_seconds}s"
