#!/usr/bin/env bash
# Tarnwick spotting from timecode that needs no deck, as an operator runs it: a real window
# under Xvfb, default.ini set to LTC (VtrType=2, [LTC] Device=file:FIFO) and then to MTC
# (VtrType=3, [MTC] Device=FIFO), the signal generated in real time into the FIFO by a source
# of the test's own (not the simulator), I and O pressed from outside at moments noted as
# they happen, the list saved through the real dialog, and every captured time compared with
# the frame that was being sent at the press.
#
# usage: timecode_e2e.sh APP ARTIFACT_DIR
set -euo pipefail

APP="$(realpath "$1")"
ARTIFACTS="$(realpath -m "$2")"
SOURCE="$(dirname "$(realpath "${BASH_SOURCE[0]}")")/timecode_source.py"
mkdir -p "$ARTIFACTS"

# shellcheck source=x_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"
start_desktop

# Presses a key and notes the moments just before and after it went out.
press() {
    local before=$EPOCHREALTIME
    xdotool key --clearmodifiers "$1"
    echo "${1^^} $before $EPOCHREALTIME" >>"$RUN/presses"
}

# One source: KIND ltc or mtc, its VtrType and the lines of its own section.
spot_from() {
    local kind=$1 type=$2 section=$3
    RUN="$WORK/$kind"
    mkdir -p "$RUN"
    cd "$RUN"
    mkfifo signal
    printf '[Default]\r\nVtrType=%s\r\n%s\r\n' "$type" "$section" >default.ini
    python3 "$SOURCE" send "$kind" "$RUN/signal" "$RUN/status" --start 01:00:00:00 \
        >"$RUN/source.log" 2>&1 &
    PIDS+=($!)

    start_app
    # Three spots, presses a second of signal apart, timed by how much signal has reached
    # Tarnwick rather than by the clock.
    local delivered=1
    python3 "$SOURCE" wait "$RUN/status" $delivered || fail "$kind: Tarnwick never read the signal"
    for key in i o i o i o; do
        press "$key"
        delivered=$((delivered + 1))
        python3 "$SOURCE" wait "$RUN/status" $delivered || fail "$kind: the signal stopped"
    done
    screenshot "$ARTIFACTS/timecode-e2e-$kind.png"
    close_and_save "$RUN/spots.txt"

    python3 "$SOURCE" check "$RUN/status" "$RUN/presses" "$RUN/spots.txt" | tee "$RUN/check.log"
    [[ ${PIPESTATUS[0]} -eq 0 ]] || fail "$kind: captures are not the frames sent"
    tr -d '\r' <default.ini | grep -qx "VtrType=$type" || fail "$kind: VtrType not kept"
    tr -d '\r' <default.ini | grep -qxF "$(echo "$section" | tail -1)" ||
        fail "$kind: the [${kind^^}] section was not kept"
}

spot_from ltc 2 "[LTC]"$'\r\n'"Device=file:$WORK/ltc/signal"
spot_from mtc 3 "[MTC]"$'\r\n'"Device=$WORK/mtc/signal"
cat "$WORK"/*/check.log >"$ARTIFACTS/timecode-e2e.log"
echo "2 passed, 0 failed"
