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
# shellcheck source=x_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh" e2e "$3"

LINK="$WORK/vtr"
STATUS="$WORK/answered"
SIM_PID=""
# A simulator that ends badly (a sanitizer's report included) fails the test.
stop_simulator() {
    [[ -n "$SIM_PID" ]] || return 0
    kill "$SIM_PID" 2>/dev/null || true
    local status=0
    wait "$SIM_PID" 2>/dev/null || status=$?
    SIM_PID=""
    ((status == 0)) || fail "the simulator ended with status $status: $(tail -5 "$WORK/sim.log")"
}

# The tape stands still at the given timecode; a new simulator on the same link stands for
# the tape moved on. It counts the requests it has answered in $STATUS.
start_simulator() {
    stop_simulator
    rm -f "$STATUS"
    "$SIM" --protocol sony --still --start "$1" --link "$LINK" --status "$STATUS" \
        >>"$WORK/sim.log" 2>&1 &
    SIM_PID=$!
    PIDS+=("$SIM_PID")
    # The status file appears once the link is in place and the simulator listens.
    wait_until 10 test -s "$STATUS" || fail "the simulator did not start"
}

answered() { cat "$STATUS" 2>/dev/null || echo 0; }
answered_at_least() { (($(answered) >= $1)); }

# Waits until the current simulator has answered this many requests in all. Tarnwick asks
# one at a time, so after the third answer it has taken in the second: the display shows
# this tape's time, and a capture records it. A tape that moved on needs Tarnwick to win
# the port back first, which it does by itself within about a second.
wait_answered() {
    wait_until 30 answered_at_least "$1" ||
        fail "Tarnwick did not poll the simulator ($(answered) of $1 requests answered)"
}

tape_at() {
    start_simulator "$1"
    wait_answered 3
}

cd "$WORK"
# Sizes no window can have: Tarnwick opens at 640x480 instead and writes that back.
printf '[Default]\r\nWindowWidth=-500\r\nWindowHeight=-1\r\n[Ports]\r\nCOM1=%s\r\n' "$LINK" \
    >default.ini
start_simulator 01:00:10:05

start_app

# Tarnwick sizes its window again once the window manager's frame is known, so that the
# outer size is the one in the settings (640x480 when default.ini names none) and the
# settings written at exit say the same.
outer_size() {
    local w h extents left right top bottom
    read -r w h < <(xwininfo -id "$WIN" 2>/dev/null |
        awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}')
    extents="$(xprop -id "$WIN" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ,)"
    read -r left right top bottom <<<"$extents"
    echo "$((w + left + right))x$((h + top + bottom))"
}
outer_settled() { [[ "$(outer_size)" == 640x480 ]]; }
wait_until 10 outer_settled || fail "the window's outer size stays $(outer_size), not 640x480"

wait_answered 3

# Presses keys whose effect must be in the list before the tape moves on. xdotool returns
# once the X server has the key, and Tarnwick's polling timer and its key events share one
# event loop: once the simulator has answered two more requests, the loop has turned past
# the key.
key_before_tape_moves() {
    xdotool key --clearmodifiers "$@"
    wait_answered $(($(answered) + 2))
}

# Spot 1: IN at 01:00:10:05, OUT at 01:00:20:00. Spot 2: IN at 01:00:20:01, which the
# frame check (3 frames, drop-frame) answers by pulling spot 1's OUT back to 01:00:19:28;
# OUT at 01:00:30:00.
key_before_tape_moves i
tape_at 01:00:20:00
key_before_tape_moves o
tape_at 01:00:20:01
key_before_tape_moves i
tape_at 01:00:30:00
key_before_tape_moves o

screenshot "$ARTIFACTS/e2e-window.png"

# Close: the save prompt, which neither Esc nor Alt+F4 answers (Yes is the default button),
# then the real save dialog. The keys arrive in order: had Esc or Alt+F4 answered the
# question, Tarnwick would have ended without a save dialog.
key alt+F4
wait_for "the save prompt" other_window_active
key Escape alt+F4 Return
dialog '名前を付けて保存'
xdotool type --delay 20 "$WORK/spots.txt"
key Return
wait_app_end
stop_simulator

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
    [InitialDirSave]="$WORK" [WindowWidth]=640 [WindowHeight]=480
    [Width0]=660 [Width1]=720 [Width2]=1530 [Width3]=1530 [Width4]=1530 [Width5]=2500
    [FrameCheck]=3 [com]=1 [VtrType]=0 [Drop]=1
)
for k in "${!EXPECT[@]}"; do
    got="$(ini_value "$k")"
    [[ "$got" == "${EXPECT[$k]}" ]] || fail "default.ini $k is '$got', expected '${EXPECT[$k]}'"
done
grep -q "^COM1=$LINK" <(tr -d '\r' <"$WORK/default.ini") || fail "the [Ports] section was lost"

echo "1 passed, 0 failed"
