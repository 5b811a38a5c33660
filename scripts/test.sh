#!/usr/bin/env bash
# Installs what is missing, builds the sanitizer and release configurations and runs every test,
# then a bounded fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

# Style first: it costs a second and fails faster than a build.
find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run --Werror

jobs=$(nproc)
cmake --preset debug-asan
cmake --build --preset debug-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 ctest --preset debug-asan -j "$jobs" --timeout 300

cmake --preset release
cmake --build --preset release -j "$jobs"
ctest --preset release -j "$jobs" --timeout 300

if [ -f fuzz/CMakeLists.txt ]; then
    ./scripts/fuzz.sh 60
fi
