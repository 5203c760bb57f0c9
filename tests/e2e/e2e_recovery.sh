#!/usr/bin/env bash
# Nothing loses the list, as an operator would find out: three captures, then kill -9, a new
# start and Return at the recovery question give the same list, which is then saved and
# compared byte for byte; kill -9 and No leave no copy and an empty list; SIGTERM ends the
# program as Exit does, without asking, and keeps the unsaved list in its copy. A real window
# under Xvfb with a window manager, the VTR simulator behind COM1.
#
# Then, in a working folder of its own: odd things under the copy's names (a link to
# /dev/zero, FIFOs) neither hang the window nor keep SIGTERM from ending it; a folder that
# takes no write at the first change and does again later loses nothing after kill -9; a link
# named as the copy leaves the file it names alone; and, traced with strace, every rename that
# puts the copy or the saved list in place is followed by a sync of its folder. The folder is
# made to take no write by a file put in its place, which stops root too (CI runs as root and
# cannot mount a small full file system): the copy's lock cannot be made, as on a full disk.
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
wait_for "the recovery question" box_active
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
wait_for "the recovery question" box_active
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

# A working folder of its own, so that it can stop being a folder while the logs, the
# simulator's link and its status stay where they are.
ROOM="$WORK/room"
mkdir "$ROOM"
cd "$ROOM"
printf '[Ports]\r\nCOM1=%s\r\n' "$WORK/vtr" >default.ini
COPY="$ROOM/.tarnwick-recovery"
# What the program said on standard error since the last mark.
LOG_MARK=0
mark_log() { LOG_MARK="$(wc -l <"$WORK/app.log")"; }
logged() { tail -n "+$((LOG_MARK + 1))" "$WORK/app.log" | grep -qF "$1"; }
copy_holds_times() {
    local n
    n="$(grep -c '"01:00:30:00"' "$COPY" 2>/dev/null)" || true
    ((${n:-0} >= $1))
}

# Each odd thing made before a start: a copy that cannot be read is moved aside and the
# operator told; a lock that cannot be made leaves the copy off. The window comes up, SIGTERM
# ends it, and the odd thing is where it was or was put, as it was (KIND: its test(1) flag).
odd_name() { # usage: odd_name NAME KIND MAKE...
    local name="$1" kind="$2" kept="$1"
    shift 2
    rm -rf .tarnwick-recovery* tarnwick-recovery-unreadable-*
    "$@"
    mark_log
    start_app
    if [[ "$name" == .tarnwick-recovery ]]; then
        wait_for "the box about $name ($*)" other_window_active
        kept="$(ls -d tarnwick-recovery-unreadable-* 2>/dev/null | head -1)"
    else
        key i
        wait_for "the lock to fail ($*)" logged "recovery copy cannot be made (something"
    fi
    kill -TERM "$APP_PID"
    wait_app_end
    test "$kind" "$kept" || fail "$name ($*) is not what it was: $(ls -la "$kept")"
}
odd_name .tarnwick-recovery -L ln -s /dev/zero .tarnwick-recovery
odd_name .tarnwick-recovery -p mkfifo .tarnwick-recovery
odd_name .tarnwick-recovery.lock -p mkfifo .tarnwick-recovery.lock
odd_name .tarnwick-recovery.lock -L ln -s /dev/zero .tarnwick-recovery.lock
rm -rf .tarnwick-recovery* tarnwick-recovery-unreadable-*

# The folder takes no write at the first change (the copy's lock cannot be made), then does
# again: the next change writes the copy with both captures, which the restart after kill -9
# brings back.
mark_log
start_polled
mv "$ROOM" "$ROOM.away"
echo "no folder" >"$ROOM"
key i
wait_for "the lock to fail" logged "recovery copy cannot be made (no such folder)"
rm "$ROOM"
mv "$ROOM.away" "$ROOM"
key o
wait_for "the copy of both captures" copy_holds_times 2
kill_hard
# This run is traced below, and LeakSanitizer (in the sanitizer build) cannot check a program
# under ptrace: it ends without that check.
saved_asan="${ASAN_OPTIONS-}"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
before="$(answered)"
start_app
export ASAN_OPTIONS="$saved_asan"
wait_for "the recovery question" box_active
key Return
wait_for "the recovery question to go" only_main
wait_for "Tarnwick to poll the tape" answered_since $((before + 2))

# A link named as the copy, made while the program runs, in a folder others share: the copy
# takes the link's place and the file it names stays as it was.
printf 'not a copy\n' >"$WORK/someone.txt"
ln -sfn "$WORK/someone.txt" "$COPY"
key Down i # the second spot, whose IN pulls the first one's OUT back (frame check 3)
copy_in_place() { [[ -f "$COPY" && ! -L "$COPY" ]] && copy_holds '01:00:29:27'; }
wait_for "the copy in place of the link" copy_in_place
[[ "$(cat "$WORK/someone.txt")" == "not a copy" ]] || fail "the file the link named was written"

# Every rename that puts the copy or the saved list in place is followed by a sync of its
# folder, so that a power cut cannot take it back. Traced from outside, one file a thread and
# each descriptor with its path; where ptrace is not allowed the trace cannot be made.
if strace -f -qq -e trace=none -o /dev/null true 2>/dev/null; then
    strace -f -ff -y -e trace=rename,renameat,renameat2,fsync -o "$WORK/trace" -p "$APP_PID" \
        2>"$WORK/strace.log" &
    STRACE_PID=$!
    PIDS+=("$STRACE_PID")
    wait_for "strace to attach" grep -q 'attached' "$WORK/strace.log"
else
    echo "strace cannot trace here: the folder-sync check is left out"
fi
key o
wait_for "the copy of the OUT" copy_holds_times 3
key alt+F4
wait_for "the exit question" other_window_active
key Return
dialog '名前を付けて保存'
xdotool type --delay 20 "$ROOM/saved.txt"
key Return
wait_app_end
{
    printf '0001 0001  01:00:30:00/01:00:29:27/00:03 \r\n'
    printf '0002 0002  01:00:30:00/01:00:30:00/00:00 \r\n'
    printf '0003 0003  --:--:--:--/--:--:--:--/--:-- \r\n' # numbered by the OUT before it
} >expected.txt
cmp -s saved.txt expected.txt || fail "the list after the folder was freed differs: $(od -c saved.txt)"
if [[ -n "${STRACE_PID-}" ]]; then
    wait "$STRACE_PID" 2>/dev/null || true
    python3 - "$WORK/trace" "$COPY" "$ROOM/saved.txt" <<'PY' || fail "a rename was not synced"
import glob, os, re, sys
prefix, copy, saved = sys.argv[1:]
renamed = {copy: 0, saved: 0}
for path in glob.glob(prefix + ".*"):
    with open(path, encoding="utf-8", errors="replace") as f:
        calls = re.findall(r"^(\w+)\((.*)\)\s+=\s+(-?\d+)", f.read(), re.M)
    for i, (name, args, result) in enumerate(calls):
        target = (re.findall(r'"([^"]*)"', args) or [""])[-1]
        if not name.startswith("rename") or result != "0" or target not in renamed:
            continue
        folder = os.path.dirname(target)
        if not any(n == "fsync" and a.endswith(f"<{folder}>") and r == "0"
                   for n, a, r in calls[i + 1:]):
            sys.exit(f"rename onto {target} not followed by a sync of {folder}")
        renamed[target] += 1
if 0 in renamed.values():
    sys.exit(f"a rename not traced: {renamed}")
print("renames synced:", renamed)
PY
fi

echo "1 passed, 0 failed"
