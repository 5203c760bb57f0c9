#!/usr/bin/env bash
# Spotting from a playing deck, as an operator does it: a real window under Xvfb, the VTR
# simulator's tape playing behind COM1 (Sony 9-pin, then Victor), I and O pressed from outside
# at moments noted as they happen, the list saved through the real dialog, and every captured
# time compared with the frame under the head at the press (the simulator says when its tape
# started). Then the list's menu (Shift+F10) is opened again and again with a talking deck and,
# in the same run, with a silent one: the silent deck must not slow it down. Every step waits
# for what it needs.
#
# usage: deck_e2e.sh APP SIM ARTIFACT_DIR
set -euo pipefail

APP="$(realpath "$1")"
SIM="$(realpath "$2")"
HERE="$(dirname "$(realpath "${BASH_SOURCE[0]}")")"
SOURCE="$HERE/timecode_source.py"
KEYS="$HERE/x_keys.py"
# shellcheck source=x_session.sh
source "$HERE/x_session.sh" e2e-deck "$3"

# A simulator named NAME answering on the link $WORK/NAME.tty, counting its requests in
# $WORK/NAME.status; the rest of the arguments are its own.
start_simulator() {
    local name=$1
    shift
    "$SIM" --link "$WORK/$name.tty" --status "$WORK/$name.status" "$@" >"$WORK/$name.log" 2>&1 &
    PIDS+=($!)
    wait_until 10 test -s "$WORK/$name.status" || fail "the simulator $name did not start"
}
answered() { cat "$WORK/$1.status" 2>/dev/null || echo 0; }
answered_at_least() { (($(answered "$1") >= $2)); }
# Waits until the simulator has answered this many more requests: time passing, a tenth of a
# second a request, as Tarnwick sees it.
requests_pass() {
    local name=$1 more=$2
    wait_until 30 answered_at_least "$name" $(($(answered "$name") + more)) ||
        fail "Tarnwick does not ask the simulator $name"
}

# Presses a key and notes the moments just before it went down and just after the X server
# had it, well within a frame of each other.
press() {
    local moments
    moments="$(python3 "$KEYS" press "$1")" || fail "the key $1 could not be sent"
    echo "${1^^} $moments" >>"$RUN/presses"
}

# One deck: KIND sony or victor, and its VtrType.
spot_from() {
    KIND=$1
    local type=$2
    RUN="$WORK/$KIND"
    mkdir -p "$RUN"
    cd "$RUN"
    start_simulator "$KIND" --protocol "$KIND" --start 01:00:00:00
    # The tape's start on the wall clock, as the check wants it.
    local origin
    origin="$(sed -n 's/.*tape started at \([0-9.]*\) s since the epoch.*/\1/p' "$WORK/$KIND.log")"
    [[ -n "$origin" ]] || fail "$KIND: the simulator did not say when its tape started"
    python3 - "$SOURCE" "$origin" "$KIND" "$RUN/status" <<'EOF'
import json, runpy, sys
frames_of = runpy.run_path(sys.argv[1])["frames_of"]
with open(sys.argv[4], "w") as f:
    json.dump({"origin": float(sys.argv[2]), "start": frames_of("01:00:00:00", 30, True),
               "fps": 30, "drop": True, "period": 1.001 / 30, "kind": sys.argv[3],
               "delivered": 0}, f)
EOF
    printf '[Default]\r\nVtrType=%s\r\n[Ports]\r\nCOM1=%s\r\n' "$type" "$WORK/$KIND.tty" >default.ini

    start_app
    # Three seconds of polling, then three spots, half a second of tape between presses.
    requests_pass "$KIND" 30
    for key in i o i o i o; do
        press "$key"
        requests_pass "$KIND" 5
    done
    screenshot "$ARTIFACTS/e2e-deck-$KIND.png"

    # Close: the save prompt (Yes is the default button), then the real save dialog.
    key alt+F4
    wait_for "the save prompt" other_window_active
    key Return
    dialog '名前を付けて保存'
    xdotool type --delay 20 "$RUN/spots.txt"
    key Return
    wait_app_end

    python3 "$SOURCE" check "$RUN/status" "$RUN/presses" "$RUN/spots.txt" | tee "$RUN/check.log"
    [[ ${PIPESTATUS[0]} -eq 0 ]] || fail "$KIND: captures are not the frames under the head"
}

spot_from sony 0
spot_from victor 1

# The list's menu with a talking deck on COM1, then, chosen from the menu (F3 Down Enter),
# with a silent one on COM2.
RUN="$WORK/latency"
mkdir -p "$RUN"
cd "$RUN"
start_simulator talking --protocol sony
start_simulator silent --protocol sony --fault silent
printf '[Default]\r\nVtrType=0\r\ncom=1\r\n[Ports]\r\nCOM1=%s\r\nCOM2=%s\r\n' \
    "$WORK/talking.tty" "$WORK/silent.tty" >default.ini
start_app
requests_pass talking 10
python3 "$KEYS" menu 25 Shift_L F10 >"$RUN/talking.txt" || fail "the menu did not open"
key F3 Down Return
requests_pass silent 5
python3 "$KEYS" menu 25 Shift_L F10 >"$RUN/silent.txt" || fail "the menu did not open"
key alt+F4
wait_app_end

median() { sed -n 's/^median \([0-9.]*\) .*/\1/p' "$1"; }
TALKING="$(median "$RUN/talking.txt")"
SILENT="$(median "$RUN/silent.txt")"
echo "Shift+F10 to the menu shown, median of 25: talking deck $TALKING ms, silent deck $SILENT ms" |
    tee "$RUN/check.log"
python3 -c "import sys; sys.exit(0 if $SILENT <= 1.5 * $TALKING + 10 else 1)" ||
    fail "a silent deck slows the menu down: $SILENT ms against $TALKING ms"

cat "$WORK"/*/check.log >"$ARTIFACTS/e2e-deck.log"
echo "3 passed, 0 failed"
