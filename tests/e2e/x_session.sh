# A desktop of the test's own for the end-to-end scripts, sourced by them: Xvfb on whatever
# display number is free, openbox, and helpers to find, activate and watch Tarnwick's windows.
# The sourcing script sets APP and ARTIFACTS, then calls start_desktop.

# A scratch folder WORK, and PIDS, the processes ended when the script ends. E2E_KEEP keeps
# the folder.
PIDS=()
WORK="$(mktemp -d /tmp/tarnwick-e2e.XXXXXX)"
end_session() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    [[ -n "${E2E_KEEP:-}" ]] || rm -rf "$WORK"
}
trap end_session EXIT

fail() {
    echo "FAIL: $*" >&2
    screenshot "$ARTIFACTS/$(basename "$0" .sh)-failure.png" || true
    exit 1
}

screenshot() {
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$1"
}

start_desktop() {
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
}

# Starts Tarnwick in the current folder and activates its window; APP_PID is its process.
start_app() {
    "$APP" >"$WORK/app.log" 2>&1 &
    APP_PID=$!
    PIDS+=("$APP_PID")
    WIN="$(xdotool search --sync --onlyvisible --name '^Tarnwick$' | head -1)"
    [[ -n "$WIN" ]] || fail "no Tarnwick window"
    local activated=""
    for _ in $(seq 20); do
        if timeout 5 xdotool windowactivate --sync "$WIN" 2>>"$WORK/xdotool.log"; then
            activated=1
            break
        fi
        sleep 0.5
    done
    [[ -n "$activated" ]] || fail "the window could not be activated"
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

# Closes the window, answers the save prompt and saves the list through the real dialog.
close_and_save() {
    xdotool key --clearmodifiers alt+F4
    wait_windows 2
    xdotool key --clearmodifiers Return
    local save
    save="$(timeout 15 xdotool search --sync --onlyvisible --name '^名前を付けて保存$' | head -1)"
    [[ -n "$save" ]] || fail "no save dialog"
    timeout 5 xdotool windowactivate --sync "$save" 2>>"$WORK/xdotool.log" || true
    xdotool type --delay 20 "$1"
    xdotool key --clearmodifiers Return
    for _ in $(seq 100); do
        kill -0 "$APP_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$APP_PID" 2>/dev/null && fail "Tarnwick did not end after the save"
    [[ -f "$1" ]] || fail "no list file written"
}
