# Sourced by the end-to-end scripts: a working folder of their own, a virtual display with a
# window manager, and the helpers every script waits and fails with. Nothing here sleeps a
# guessed time: each step waits for what it needs, polling with a deadline.
#
# usage: source x_session.sh NAME ARTIFACT_DIR   (sets WORK, ARTIFACTS, DISPLAY, PIDS)

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

fail() {
    echo "FAIL: $*" >&2
    screenshot "$ARTIFACTS/$E2E_NAME-failure.png" || true
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
