#!/usr/bin/env bash
# Spotting from a playing deck, as an operator does it: a real window under Xvfb, the VTR
# simulator's tape playing behind COM1 (Sony 9-pin, then Victor), I and O pressed from outside,
# the list saved through the real dialog, and every captured time compared with the frame
# under the head at the press (the simulator says when its tape started). Then the list's menu
# (Shift+F10) is opened again and again with a talking deck and, in the same run, with a
# silent one: the silent deck must not slow it down. Every step waits for what it needs.
#
# usage: deck_e2e.sh APP SIM ARTIFACT_DIR
set -euo pipefail

APP="$(realpath "$1")"
SIM="$(realpath "$2")"
# shellcheck source=x_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh" e2e-deck "$3"

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
# Waits until the simulator NAME has answered N more requests: time passing, a tenth of a
# second a request, as Tarnwick sees it.
requests_pass() {
    wait_until 30 answered_at_least "$1" $(($(answered "$1") + $2)) ||
        fail "Tarnwick does not ask the simulator $1"
}

# One deck: KIND sony or victor, and its VtrType.
spot_from() {
    KIND=$1
    RUN="$WORK/$KIND"
    mkdir -p "$RUN"
    cd "$RUN"
    start_simulator "$KIND" --protocol "$KIND" --start 01:00:00:00
    local origin
    origin="$(sed -n 's/.*tape started at \([0-9.]*\) s since the epoch.*/\1/p' "$WORK/$KIND.log")"
    [[ -n "$origin" ]] || fail "$KIND: the simulator did not say when its tape started"
    # The tape as the check sees it: from 01:00:00:00 (frame 107892 drop-frame) at its start,
    # a frame every 1.001 / 30 s.
    printf '{"origin": %s, "start": 107892, "fps": 30, "drop": true, "period": %s, "kind": "%s"}' \
        "$origin" 0.03336666666666667 "$KIND" >"$RUN/status"
    printf '[Default]\r\nVtrType=%s\r\n[Ports]\r\nCOM1=%s\r\n' "$2" "$WORK/$KIND.tty" >default.ini

    start_app
    # Three seconds of polling, then three spots, half a second of tape between presses.
    requests_pass "$KIND" 30
    for key in i o i o i o; do
        press "$key"
        requests_pass "$KIND" 5
    done
    screenshot "$ARTIFACTS/e2e-deck-$KIND.png"
    save_and_check "$KIND: captures are not the frames under the head"
}

spot_from sony 0
spot_from victor 1

# The list's menu with a talking deck on COM1, then, chosen from the menu (F3 Down Enter),
# with a silent one on COM2: the median of 25 openings each.
RUN="$WORK/latency"
mkdir -p "$RUN"
cd "$RUN"
start_simulator talking --protocol sony
start_simulator silent --protocol sony --fault silent
printf '[Default]\r\nVtrType=0\r\ncom=1\r\n[Ports]\r\nCOM1=%s\r\nCOM2=%s\r\n' \
    "$WORK/talking.tty" "$WORK/silent.tty" >default.ini
start_app
menu_median() {
    python3 "$E2E_DIR/x_keys.py" menu 25 Shift_L F10 >"$RUN/$1.txt" || fail "the menu did not open"
    sed -n 's/^median \([0-9.]*\) .*/\1/p' "$RUN/$1.txt"
}
requests_pass talking 10
TALKING="$(menu_median talking)"
key F3 Down Return
requests_pass silent 5
SILENT="$(menu_median silent)"
key alt+F4
wait_app_end
echo "Shift+F10 to the menu shown, median of 25: talking deck $TALKING ms, silent deck $SILENT ms" |
    tee "$RUN/check.log"
awk -v s="$SILENT" -v t="$TALKING" 'BEGIN { exit !(s <= 1.5 * t + 10) }' ||
    fail "a silent deck slows the menu down: $SILENT ms against $TALKING ms"

cat "$WORK"/*/check.log >"$ARTIFACTS/e2e-deck.log"
echo "3 passed, 0 failed"
