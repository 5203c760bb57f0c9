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

# shellcheck source=x_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"
start_desktop

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

start_app
sleep 1.5

key() {
    xdotool key --clearmodifiers "$@"
    sleep 0.4
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
close_and_save "$WORK/spots.txt"
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
