#!/usr/bin/env bash
# The whole program as an operator meets it: a real window under Xvfb with a window manager,
# the VTR simulator behind COM1, and real key presses sent from outside. Two spots are
# captured with the tape standing at known timecodes; the window is closed, the save prompt
# answered, the list saved through the real file dialog, and the list file and default.ini
# are checked. A screenshot is kept as an artifact.
#
# usage: e2e_test.sh APP SIM ARTIFACT_DIR
set -euo pipefail

APP="$(realpath "$1")"
SIM="$(realpath "$2")"
ARTIFACTS="$(realpath -m "$3")"
mkdir -p "$ARTIFACTS"

WORK="$(mktemp -d /tmp/tarnwick-e2e.XXXXXX)"
PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    [[ -n "${E2E_KEEP:-}" ]] || rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    screenshot "$ARTIFACTS/e2e-failure.png" || true
    exit 1
}

screenshot() {
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$1"
}

# A display of our own, whatever number is free.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 5>"$WORK/display" &
PIDS+=($!)
for _ in $(seq 100); do [[ -s "$WORK/display" ]] && break; sleep 0.1; done
[[ -s "$WORK/display" ]] || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$WORK/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export LC_ALL=C.UTF-8

openbox >"$WORK/openbox.log" 2>&1 &
PIDS+=($!)
# The window manager announces what it supports on the root window once it manages
# windows; window activation needs it.
for _ in $(seq 150); do
    xprop -root _NET_SUPPORTED 2>/dev/null | grep -q '_NET_ACTIVE_WINDOW' && break
    sleep 0.1
done

LINK="$WORK/vtr"
SIM_PID=""
# The tape stands still at the given timecode; a new simulator on the same link stands for
# the tape moved on. Tarnwick wins the port back by itself within about a second.
tape_at() {
    if [[ -n "$SIM_PID" ]]; then
        kill "$SIM_PID" 2>/dev/null || true
        wait "$SIM_PID" 2>/dev/null || true
    fi
    "$SIM" --protocol sony --still --start "$1" --link "$LINK" >"$WORK/sim.log" 2>&1 &
    SIM_PID=$!
    PIDS+=("$SIM_PID")
    for _ in $(seq 50); do [[ -e "$LINK" ]] && break; sleep 0.1; done
    sleep 2.5
}

cd "$WORK"
printf '[Ports]\r\nCOM1=%s\r\n' "$LINK" >default.ini
tape_at 01:00:10:05

"$APP" >"$WORK/app.log" 2>&1 &
APP_PID=$!
PIDS+=("$APP_PID")
WIN="$(xdotool search --sync --onlyvisible --name '^Tarnwick$' | head -1)"
[[ -n "$WIN" ]] || fail "no Tarnwick window"
activated=""
for _ in $(seq 20); do
    if timeout 5 xdotool windowactivate --sync "$WIN" 2>>"$WORK/xdotool.log"; then
        activated=1
        break
    fi
    sleep 0.5
done
[[ -n "$activated" ]] || fail "the window could not be activated"
sleep 1.5

key() {
    xdotool key --clearmodifiers "$@"
    sleep 0.4
}

# Waits until Tarnwick shows this many windows (the main window and its modal boxes), so
# that no key press lands in the wrong one on a busy machine.
wait_windows() {
    for _ in $(seq 150); do
        local n
        n="$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | wc -l)"
        ((n >= $1)) && return 0
        sleep 0.1
    done
    fail "Tarnwick did not show $1 windows"
}

# Spot 1: IN at 01:00:10:05, OUT at 01:00:20:00. Spot 2: IN at 01:00:20:01, which the
# frame check (3 frames, drop-frame) answers by pulling spot 1's OUT back to 01:00:19:28;
# OUT at 01:00:30:00.
key i
tape_at 01:00:20:00
key o
tape_at 01:00:20:01
key i
tape_at 01:00:30:00
key o

screenshot "$ARTIFACTS/e2e-window.png"

# Close: the save prompt (Yes is the default button), then the real save dialog.
key alt+F4
wait_windows 2
key Return
SAVE="$(timeout 15 xdotool search --sync --onlyvisible --name '^名前を付けて保存$' | head -1)"
[[ -n "$SAVE" ]] || fail "no save dialog"
sleep 0.5
xdotool type --delay 20 "$WORK/spots.txt"
sleep 0.3
key Return

for _ in $(seq 100); do
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$APP_PID" 2>/dev/null && fail "Tarnwick did not end after the save"

[[ -f "$WORK/spots.txt" ]] || fail "no list file written"
# The OUT of spot 2 also gave row 3 its spot number, so row 3 is written too.
{
    printf '0001 0001  01:00:10:05/01:00:19:28/09:23 \r\n'
    printf '0002 0002  01:00:20:01/01:00:30:00/09:29 \r\n'
    printf '0003 0003  --:--:--:--/--:--:--:--/--:-- \r\n'
} >"$WORK/expected.txt"
if ! cmp -s "$WORK/spots.txt" "$WORK/expected.txt"; then
    echo "--- written" >&2
    od -c "$WORK/spots.txt" >&2
    echo "--- expected" >&2
    od -c "$WORK/expected.txt" >&2
    fail "list file differs"
fi

ini_value() {
    tr -d '\r' <"$WORK/default.ini" | sed -n "/^\[Default\]/,/^\[/{s/^$1=//p}"
}
declare -A EXPECT=(
    [InitialDirSave]='C:\' [WindowWidth]=640 [WindowHeight]=480
    [Width0]=660 [Width1]=720 [Width2]=1530 [Width3]=1530 [Width4]=1530 [Width5]=2500
    [FrameCheck]=3 [com]=1 [VtrType]=0 [Drop]=1
)
for k in "${!EXPECT[@]}"; do
    got="$(ini_value "$k")"
    [[ "$got" == "${EXPECT[$k]}" ]] || fail "default.ini $k is '$got', expected '${EXPECT[$k]}'"
done
grep -q "^COM1=$LINK" <(tr -d '\r' <"$WORK/default.ini") || fail "the [Ports] section was lost"

echo "1 passed, 0 failed"
