#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Screenshot of Tornasquillo running against the simulated phone, on a virtual X display.
#
#   BUILD_DIR=build scripts/screenshot.sh OUT.png
#
# Builds nothing: it runs tornasquillo-phone-sim and tornasquillo from BUILD_DIR (default: build). Needs
# Xvfb, ImageMagick and xdotool: it finds the program's window, opens the port and switches the
# responder on, and waits for the demo caller's squillo to be logged before the picture is taken.
#
# Environment: SHOT_WAIT seconds to wait with the port open
# (default 30: the demo caller rings 4 s after the program has opened the port; the squillo is logged after
# 8 s of silence, the 2 s wait, the call-back and its 10 s).
set -euo pipefail

out=${1:?usage: $0 OUT.png}
build=${BUILD_DIR:-build}
wait_open=${SHOT_WAIT:-30}

sim_exe=$build/bin/tornasquillo-phone-sim
app_exe=$build/bin/tornasquillo
for exe in "$sim_exe" "$app_exe"; do
    [[ -x $exe ]] || { echo "screenshot: $exe not found; build first" >&2; exit 1; }
done
for tool in Xvfb import xdotool; do
    command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d /tmp/tornasquillo-shot.XXXXXX)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Polls a condition every 0.1 s for up to $1 seconds.
wait_for() {
    local tries=$(($1 * 10))
    shift
    while ((tries-- > 0)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# Xvfb picks a free display itself and says which one.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
if ! wait_for 10 test -s "$work/display"; then
    echo "screenshot: Xvfb did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
DISPLAY=:$(<"$work/display")
export DISPLAY

"$sim_exe" --demo --link "$work/com1" </dev/null >"$work/sim.log" 2>&1 &
pids+=($!)
wait_for 10 test -e "$work/com1" || { echo "screenshot: the simulated phone did not start" >&2; cat "$work/sim.log" >&2; exit 1; }

"$app_exe" --com1 "$work/com1" >"$work/app.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
# The program's one visible window, found by its process rather than by its title.
find_window() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | head -n 1; }
has_window() { [ -n "$(find_window)" ]; }
wait_for 10 has_window || { echo "screenshot: no window" >&2; cat "$work/app.log" >&2; exit 1; }
window=$(find_window)

# Positions in the window at 96 DPI: the middle of Command1 and of Command3. On a busy machine a
# click now and then does not reach the window: Command1 is clicked again until the port opens.
sleep 0.5
for _ in 1 2 3; do
    xdotool mousemove --window "$window" 216 20 click 1
    wait_for 5 grep -q "opened COM 1" "$work/app.log" && break
done
sleep 1
xdotool mousemove --window "$window" 214 61 click 1
xdotool mousemove --window "$window" 300 200
sleep "$wait_open"

# Label5 blinks once a second: take a few frames and keep the one that shows it (the most
# yellow).
best=
best_yellow=-1
for frame in 1 2 3 4 5; do
    import -window "$window" "$work/frame$frame.png"
    yellow=$(convert "$work/frame$frame.png" -fuzz 5% -fill black +opaque yellow \
        -fill white -opaque yellow -format '%[fx:int(mean*100000)]' info:)
    if ((yellow > best_yellow)); then
        best=$work/frame$frame.png
        best_yellow=$yellow
    fi
    sleep 0.5
done
cp "$best" "$out"
echo "screenshot: $out"
