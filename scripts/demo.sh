#!/usr/bin/env bash
# Starts Tarnwick against the VTR simulator, in a demo working folder of its own under the
# build folder, so the user's own settings are never touched. The simulator's tape runs
# from 01:00:00:00; it ends when Tarnwick does. With ltc or mtc the simulator sends LTC audio
# or MIDI timecode into a FIFO instead of playing a deck, from a folder of their own. With
# video Tarnwick plays a two-minute clip made here by ffmpeg (29.97 drop-frame, a frame
# counter in the picture and a timecode track from 01:00:00;00) in its picture window.
#
# usage: demo.sh BUILD_DIR [sony|ltc|mtc|video]
set -euo pipefail

BUILD="$(realpath "${1:?usage: demo.sh BUILD_DIR [sony|ltc|mtc|video]}")"
SOURCE="${2:-sony}"
SIM="$BUILD/tools/vtrsim/tarnwick-vtrsim"
APP="$BUILD/src/app/tarnwick"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display: Tarnwick is a desktop program and needs one (for example, run it" >&2
    echo "inside a desktop session, or with xvfb-run for a headless try)." >&2
    exit 1
fi

if [[ "$SOURCE" == video ]]; then
    DEMO="$BUILD/demo-video"
    CLIP="$DEMO/clip.mov"
    mkdir -p "$DEMO"
    cd "$DEMO"
    if [[ ! -s "$CLIP" ]]; then
        echo "Making the demo clip with ffmpeg..."
        ffmpeg -hide_banner -loglevel error -nostdin -y \
            -f lavfi -i "testsrc=size=640x360:rate=30000/1001:duration=120" \
            -f lavfi -i "sine=frequency=440:duration=120" \
            -c:v libx264 -preset veryfast -g 30 -pix_fmt yuv420p -c:a aac -shortest \
            -timecode "01:00:00;00" "$CLIP"
    fi
    [[ -f default.ini ]] || printf '[Default]\nVtrType=4\n[Video]\nFile=%s\n' "$CLIP" >default.ini
    echo "Tarnwick demo in $DEMO (the clip $CLIP). L plays, K stills, J goes back;"
    echo "press I and O to capture spots, G cues to a row."
    "$APP"
    exit 0
fi

if [[ "$SOURCE" == ltc || "$SOURCE" == mtc ]]; then
    DEMO="$BUILD/demo-$SOURCE"
    FIFO="$DEMO/signal"
    mkdir -p "$DEMO"
    cd "$DEMO"
    [[ -p "$FIFO" ]] || mkfifo "$FIFO"
    if [[ ! -f default.ini ]]; then
        if [[ "$SOURCE" == ltc ]]; then
            printf '[Default]\nVtrType=2\n[LTC]\nDevice=file:%s\n' "$FIFO" >default.ini
        else
            printf '[Default]\nVtrType=3\n[MTC]\nDevice=%s\n' "$FIFO" >default.ini
        fi
    fi
    "$SIM" --protocol "$SOURCE" --start 01:00:00:00 --output "$FIFO" --parent-pid $$ 2>/dev/null &
    SIM_PID=$!
    trap 'kill "$SIM_PID" 2>/dev/null || true' EXIT
    echo "Tarnwick demo in $DEMO (${SOURCE^^} from the simulator into $FIFO). Press I and O."
    "$APP"
    exit 0
fi

DEMO="$BUILD/demo"
LINK="$DEMO/vtr-com1"
mkdir -p "$DEMO"
cd "$DEMO"

# COM1 of the demo folder's settings points at the simulator's pseudo-terminal; every other
# setting is Tarnwick's own and survives from run to run.
if [[ ! -f default.ini ]] || ! grep -q '^\[Ports\]' default.ini; then
    printf '[Ports]\nCOM1=%s\n' "$LINK" >> default.ini
elif grep -q '^COM1=' default.ini; then
    sed -i "s|^COM1=.*|COM1=$LINK|" default.ini
else
    sed -i "s|^\[Ports\]|[Ports]\nCOM1=$LINK|" default.ini
fi

"$SIM" --protocol sony --start 01:00:00:00 --link "$LINK" --parent-pid $$ >/dev/null &
SIM_PID=$!
trap 'kill "$SIM_PID" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [[ -e "$LINK" ]] && break; sleep 0.1; done

echo "Tarnwick demo in $DEMO (VTR simulator on $LINK). Press I and O to capture spots."
echo "The simulated deck obeys the transport keys; kill -USR1 $SIM_PID turns its remote switch"
echo "(local: it refuses them), kill -USR2 $SIM_PID puts a cassette in after an eject."
"$APP"
