#!/usr/bin/env bash
# Tarnwick spotting from timecode that needs no deck, as an operator runs it: a real window
# under Xvfb, default.ini set to LTC (VtrType=2, [LTC] Device=file:FIFO) and then to MTC
# (VtrType=3, [MTC] Device=FIFO), the signal generated in real time into the FIFO by a source
# of the test's own (not the simulator), I and O pressed from outside at moments noted as
# they happen, the list saved through the real dialog, and every captured time compared with
# the frame that was being sent at the press. Every step waits for what it needs.
#
# usage: timecode_e2e.sh APP ARTIFACT_DIR
set -euo pipefail

APP="$(realpath "$1")"
SOURCE="$(dirname "$(realpath "${BASH_SOURCE[0]}")")/timecode_source.py"
# shellcheck source=x_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh" e2e-timecode "$2"

# Presses a key and notes the moments just before and after it went out.
press() {
    local before=$EPOCHREALTIME
    xdotool key --clearmodifiers "$1"
    echo "${1^^} $before $EPOCHREALTIME" >>"$RUN/presses"
}

# Waits until this many seconds of signal have reached Tarnwick.
delivered() {
    python3 "$SOURCE" wait "$RUN/status" "$1" || fail "$KIND: the signal did not reach Tarnwick"
}

# One source: KIND ltc or mtc, its VtrType and the lines of its own section.
spot_from() {
    KIND=$1
    local type=$2 section=$3
    RUN="$WORK/$KIND"
    mkdir -p "$RUN"
    cd "$RUN"
    mkfifo signal
    printf '[Default]\r\nVtrType=%s\r\n%s\r\n' "$type" "$section" >default.ini
    python3 "$SOURCE" send "$KIND" "$RUN/signal" "$RUN/status" --start 01:00:00:00 \
        >"$RUN/source.log" 2>&1 &
    PIDS+=($!)

    start_app

    # Three spots, each press a second of signal after the one before.
    local seconds=1
    delivered $seconds
    for key in i o i o i o; do
        press "$key"
        seconds=$((seconds + 1))
        delivered $seconds
    done
    screenshot "$ARTIFACTS/e2e-timecode-$KIND.png"

    # Close: the save prompt (Yes is the default button), then the real save dialog.
    key alt+F4
    wait_for "the save prompt" other_window_active
    key Return
    dialog '名前を付けて保存'
    xdotool type --delay 20 "$RUN/spots.txt"
    key Return
    wait_app_end

    python3 "$SOURCE" check "$RUN/status" "$RUN/presses" "$RUN/spots.txt" | tee "$RUN/check.log"
    [[ ${PIPESTATUS[0]} -eq 0 ]] || fail "$KIND: captures are not the frames sent"
    tr -d '\r' <default.ini | grep -qx "VtrType=$type" || fail "$KIND: VtrType not kept"
    tr -d '\r' <default.ini | grep -qxF "$(echo "$section" | tr -d '\r' | tail -1)" ||
        fail "$KIND: its section was not kept"
}

spot_from ltc 2 "[LTC]"$'\r\n'"Device=file:$WORK/ltc/signal"
spot_from mtc 3 "[MTC]"$'\r\n'"Device=$WORK/mtc/signal"
cat "$WORK"/*/check.log >"$ARTIFACTS/e2e-timecode.log"
echo "2 passed, 0 failed"
