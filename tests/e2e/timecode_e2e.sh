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
# shellcheck source=x_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh" e2e-timecode "$2"
SOURCE="$E2E_DIR/timecode_source.py"

# Waits until this many seconds of signal have reached Tarnwick.
delivered() {
    python3 "$SOURCE" wait "$RUN/status" "$1" || fail "$KIND: the signal did not reach Tarnwick"
}

# One run: its NAME, the source KIND (ltc or mtc), its VtrType, the list's frame rate, then
# what the source is told of its rate (--rate N, --pull-down).
spot_from() {
    local name=$1
    KIND=$2
    local type=$3 fps=$4
    shift 4
    RUN="$WORK/$name"
    mkdir -p "$RUN"
    cd "$RUN"
    mkfifo signal
    local section
    if [[ $KIND == ltc ]]; then
        section="[LTC]"$'\r\n'"Device=file:$RUN/signal"
    else
        section="[MTC]"$'\r\n'"Device=$RUN/signal"
    fi
    printf '[Default]\r\nVtrType=%s\r\nFrameRate=%s\r\n%s\r\n' "$type" "$fps" "$section" >default.ini
    python3 "$SOURCE" send "$KIND" "$RUN/signal" "$RUN/status" --start 01:00:00:00 "$@" \
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
    screenshot "$ARTIFACTS/e2e-timecode-$name.png"
    save_and_check "$name: captures or durations are not those sent"
    tr -d '\r' <default.ini | grep -qx "VtrType=$type" || fail "$KIND: VtrType not kept"
    tr -d '\r' <default.ini | grep -qxF "$(echo "$section" | tr -d '\r' | tail -1)" ||
        fail "$KIND: its section was not kept"
}

spot_from ltc ltc 2 30
spot_from mtc mtc 3 30
# A 25-frame room, a film room at 23.976 with 24-frame labels, and MIDI timecode at 24: the
# list counts at the source's rate, so every label and duration is the source's own.
spot_from ltc25 ltc 2 25 --rate 25
spot_from ltc23976 ltc 2 24 --rate 24 --pull-down
spot_from mtc24 mtc 3 24 --rate 24
cat "$WORK"/*/check.log >"$ARTIFACTS/e2e-timecode.log"
echo "5 passed, 0 failed"
