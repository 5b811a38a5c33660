#!/usr/bin/env bash
# Builds the libFuzzer targets and fuzzes each for its share of a bounded time: link datagram
# handling and the game server's replies.
# Usage: scripts/fuzz.sh <seconds>   (default 60, shared between the targets)
# Exits non-zero when a fuzzer finds a crash; the input is kept in build/fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "usage: $0 <seconds>" >&2
    exit 2
fi

# target:corpus folder:share of the time in percent
targets=("datagram_fuzzer:datagram:50" "server_reply_fuzzer:server-reply:50")

cmake --preset fuzz
cmake --build --preset fuzz --target datagram_fuzzer server_reply_fuzzer

build_dir=build/fuzz
artifacts="$build_dir/artifacts"
mkdir -p "$artifacts"

for entry in "${targets[@]}"; do
    IFS=: read -r name corpus share <<<"$entry"
    fuzzer="$build_dir/fuzz/$name"
    budget=$((seconds * share / 100))
    [ "$budget" -ge 1 ] || budget=1

    # The fuzzer adds what it finds to its corpus; keep the committed seeds untouched.
    work=$(mktemp -d)
    cp "fuzz/corpus/$corpus/"* "$work/"

    status=0
    timeout --kill-after=30 $((budget + 120)) \
        "$fuzzer" "$work" \
        -max_total_time="$budget" -max_len=65507 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" || status=$?
    rm -rf "$work"

    if [ "$status" -ne 0 ]; then
        echo "$name failed (exit $status); reproduce with: $fuzzer $artifacts/<file>" >&2
        exit "$status"
    fi
    echo "$name: no crash in ${budget}s"
done
