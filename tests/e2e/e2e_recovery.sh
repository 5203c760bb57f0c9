#!/usr/bin/env bash
# Nothing loses the list, as an operator would find out: three captures, then kill -9, a new
# start and Return at the recovery question give the same list, which is then saved and
# compared byte for byte; kill -9 and No leave no copy and an empty list; SIGTERM ends the
# program as Exit does, without asking, and keeps the unsaved list in its copy. A real window
# under Xvfb with a window manager, the VTR simulator behind COM1.
#
# usage: e2e_recovery.sh APP SIM ARTIFACT_DIR
set -euo pipefail

APP="$(realpath "$1")"
SIM="$(realpath "$2")"
# shellcheck source=x_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh" e2e-recovery "$3"

# The tape stands at 01:00:30:00; the simulator counts the requests it has answered.
STATUS="$WORK/answered"
"$SIM" --protocol sony --still --start 01:00:30:00 --link "$WORK/vtr" --status "$STATUS" \
    >"$WORK/sim.log" 2>&1 &
PIDS+=($!)
wait_for "the simulator" test -s "$STATUS"
answered() { cat "$STATUS" 2>/dev/null || echo 0; }
answered_since() { (($(answered) >= $1)); }

cd "$WORK"
printf '[Ports]\r\nCOM1=%s\r\n' "$WORK/vtr" >default.ini
COPY="$WORK/.tarnwick-recovery"

# Started, and polled twice since: the display shows the tape's time and a capture takes it.
start_polled() {
    local before
    before="$(answered)"
    start_app
    wait_for "Tarnwick to poll the tape" answered_since $((before + 2))
}
copy_holds() { grep -qs "$1" "$COPY"; }
kill_hard() {
    kill -9 "$APP_PID"
    wait "$APP_PID" 2>/dev/null || true
}

# Three captures; the third, an IN, pulls the first spot's OUT back to 01:00:29:27 (frame
# check 3, drop-frame). The copy holds that within a second.
start_polled
key i o i
wait_for "the recovery copy of the third capture" copy_holds '01:00:29:27'
kill_hard

# Return answers Yes, the default button; the recovered list is saved at exit.
start_app
wait_for "the recovery question" other_window_active
key Return
wait_for "the recovery question to go" only_main
key alt+F4
wait_for "the exit question" other_window_active
key Return
dialog '名前を付けて保存'
xdotool type --delay 20 "$WORK/recovered.txt"
key Return
wait_app_end
{
    printf '0001 0001  01:00:30:00/01:00:29:27/00:03 \r\n'
    printf '0002 0002  01:00:30:00/--:--:--:--/--:-- \r\n'
} >expected.txt
cmp -s recovered.txt expected.txt || fail "the recovered list differs: $(od -c recovered.txt)"
[[ ! -e "$COPY" ]] || fail "the recovery copy outlived a normal exit"

# kill -9 again, then No: the copy goes and the list starts empty, so Exit asks nothing.
start_polled
key i
wait_for "the recovery copy of the capture" copy_holds '01:00:30:00'
kill_hard
start_app
wait_for "the recovery question" other_window_active
key n
no_copy() { [[ ! -e "$COPY" ]]; }
wait_for "No to remove the copy" no_copy
wait_for "the recovery question to go" only_main
key alt+F4
wait_app_end

# SIGTERM: default.ini is written and the unsaved list stays in its copy.
printf '[Ports]\r\nCOM1=%s\r\n' "$WORK/vtr" >default.ini
start_polled
key o
wait_for "the recovery copy of the OUT" copy_holds '01:00:30:00'
kill -TERM "$APP_PID"
wait_app_end
grep -q 'WindowWidth=' default.ini || fail "SIGTERM did not write default.ini"
copy_holds '01:00:30:00' || fail "SIGTERM lost the unsaved list"

echo "1 passed, 0 failed"
