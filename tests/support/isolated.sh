#!/bin/sh
# Runs a test program where a Squadlink in daily use on the same machine cannot meet it: in a
# network namespace of its own (loopback only) and with private temporary and runtime folders,
# so the fixed ports 27220/27221 and the single-instance channel are the test's alone. The
# ports stay the real, fixed ones.
#
# Where namespaces are not available (no unshare, no permission) the program runs as it is,
# still with private folders.
private=$(mktemp -d "${TMPDIR:-/tmp}/squadlink-test.XXXXXX") || exit 1
mkdir -p "$private/tmp" "$private/run"
chmod 700 "$private" "$private/run"
export TMPDIR="$private/tmp" XDG_RUNTIME_DIR="$private/run"

inside='ip link set lo up 2>/dev/null || exit 97; SQUADLINK_TEST_NETNS=1 exec "$@"'
status=97
if command -v unshare >/dev/null 2>&1 && command -v ip >/dev/null 2>&1; then
    # As root a plain network namespace; otherwise one inside a user namespace.
    if unshare -n true 2>/dev/null; then
        unshare -n sh -c "$inside" sh "$@"
        status=$?
    elif unshare -rn true 2>/dev/null; then
        unshare -rn sh -c "$inside" sh "$@"
        status=$?
    fi
fi
if [ "$status" -eq 97 ]; then
    "$@"
    status=$?
fi
rm -rf "$private"
exit "$status"
