# Sourced by the start-up benchmarks: starts a private Xvfb and sets $display and $work.
work=$(mktemp -d)
# Xvfb picks a free display itself and tells its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
display=:$(head -n 1 "$work/display")
