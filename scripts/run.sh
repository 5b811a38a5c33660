#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and starts Squadlink.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target squadlink -j "$(nproc)"
exec ./build/release/src/app/squadlink "$@"
