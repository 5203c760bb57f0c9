# Sourced by the end-to-end scripts: a working folder of their own, a virtual display with a
# window manager, and the helpers every script waits and fails with. Nothing here sleeps a
# guessed time: each step waits for what it needs, polling with a deadline.
#
# usage: source x_session.sh NAME ARTIFACT_DIR   (sets WORK, ARTIFACTS, DISPLAY, PIDS)

E2E_DIR="$(dirname "$(realpath "${BASH_SOURCE[0]}")")"
ARTIFACTS="$(realpath -m "$2")"
mkdir -p "$ARTIFACTS"
E2E_NAME="$1"

WORK="$(mktemp -d "/tmp/tarnwick-$E2E_NAME.XXXXXX")"
PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    [[ -n "${E2E_KEEP:-}" ]] || rm -rf "$WORK"
}
trap cleanup EXIT

screenshot() {
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$1"
}

# A failure keeps a screenshot and the programs' last words, for one seen only in CI.
fail() {
    echo "FAIL: $*" >&2
    screenshot "$ARTIFACTS/$E2E_NAME-failure.png" || true
    tail -n 30 -v "$WORK"/*.log "$WORK"/*/*.log >"$ARTIFACTS/$E2E_NAME-failure.log" 2>&1 || true
    exit 1
}

# usage: wait_until SECONDS COMMAND... || fail ...
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# usage: wait_for WHAT COMMAND...   (fails the test after 30 s)
wait_for() {
    local what="$1"
    shift
    wait_until 30 "$@" || fail "timed out waiting for $what"
}

# A display of our own, whatever number is free.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 5>"$WORK/display" &
PIDS+=($!)
wait_until 10 test -s "$WORK/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$WORK/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export LC_ALL=C.UTF-8

openbox >"$WORK/openbox.log" 2>&1 &
PIDS+=($!)
# The window manager announces what it supports on the root window once it manages
# windows; window activation needs it.
wm_ready() { xprop -root _NET_SUPPORTED 2>/dev/null | grep -q '_NET_ACTIVE_WINDOW'; }
wait_until 15 wm_ready || fail "the window manager did not start"

# The program under test, started in the current folder: APP_PID and WIN, its main window,
# active, or one of its boxes active when it asks something at start.

# A window of the program with this title. A search can meet a window that is going away (Qt
# maps and drops helper windows at start-up), which xdotool reports as an X error; that only
# means "not yet".
FOUND=""
titled() {
    FOUND="$(xdotool search --all --onlyvisible --pid "$APP_PID" --name "$1" 2>/dev/null |
        head -1)" || true
    [[ -n "$FOUND" ]]
}
active() { [[ "$(xdotool getactivewindow 2>/dev/null)" == "$1" ]]; }
activate() {
    timeout 5 xdotool windowactivate --sync "$WIN" 2>>"$WORK/xdotool.log" && active "$WIN"
}
start_app() {
    "$APP" >>"$WORK/app.log" 2>&1 &
    APP_PID=$!
    PIDS+=("$APP_PID")
    wait_for "the Tarnwick window" titled '^Tarnwick$'
    WIN="$FOUND"
    # Activation fails now and then while the window manager is still taking the new window
    # on; asking again a moment later succeeds.
    asked_or_activated() { other_window_active || activate; }
    wait_for "the window to be active" asked_or_activated
}

key() { xdotool key --clearmodifiers "$@"; }

# Tarnwick's visible windows: the main one, and its boxes, dialogs and pop-ups.
windows() { { xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null || true; } | wc -l; }
shown() { (($(windows) >= $1)); }
only_main() { (($(windows) == 1)) && active "$WIN"; }
# One of Tarnwick's windows other than the main one is active: keys go to it.
other_window_active() {
    local now
    now="$(xdotool getactivewindow 2>/dev/null)" || return 1
    [[ "$now" != "$WIN" ]] || return 1
    xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -qx "$now"
}
# A box of the program is up and has the keyboard. start_app may have activated the main
# window just before a box asked at start-up came up, and the window manager can then leave
# the box inactive: it is activated, as a user would click it.
box_active() {
    other_window_active && return 0
    local box
    box="$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -vx "$WIN" | head -1)"
    [[ -n "$box" ]] || return 1
    timeout 5 xdotool windowactivate --sync "$box" 2>>"$WORK/xdotool.log" || true
    other_window_active
}
# A dialog of this title, shown and active.
dialog() {
    titled_active() { titled "^$1\$" && active "$FOUND"; }
    wait_for "the dialog '$1'" titled_active "$1"
}

# Waits for the program to end and fails the test unless it ended well (a sanitizer's
# report included).
wait_app_end() {
    ended() { ! kill -0 "$APP_PID" 2>/dev/null; }
    wait_for "Tarnwick to end" ended
    local status=0
    wait "$APP_PID" 2>/dev/null || status=$?
    ((status == 0)) || fail "Tarnwick ended with status $status: $(tail -20 "$WORK/app.log")"
}

# Spotting runs, in the folder $RUN. Presses a key and notes in $RUN/presses the moments just
# before it went down and just after the X server had it, well within a frame of each other.
press() {
    local moments
    moments="$(python3 "$E2E_DIR/x_keys.py" press "$1")" || fail "the key $1 could not be sent"
    echo "${1^^} $moments" >>"$RUN/presses"
}

# Closes Tarnwick, Yes (the default button) to the save prompt, saves the list through the real
# dialog as $RUN/spots.txt, and compares every capture with $RUN/status, the source's account
# of what it sent when; fails with the words given unless all are on their frames.
save_and_check() {
    key alt+F4
    wait_for "the save prompt" other_window_active
    key Return
    dialog '名前を付けて保存'
    xdotool type --delay 20 "$RUN/spots.txt"
    key Return
    wait_app_end
    python3 "$E2E_DIR/timecode_source.py" check "$RUN/status" "$RUN/presses" "$RUN/spots.txt" |
        tee "$RUN/check.log"
    [[ ${PIPESTATUS[0]} -eq 0 ]] || fail "$1"
}
