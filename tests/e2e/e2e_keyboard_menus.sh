#!/usr/bin/env bash
# The menus worked from the keyboard, as an operator works them from memory, in a real window
# under Xvfb with a window manager. F2 Enter picks "3 ﾌﾚｰﾑ (NonDrop)" and F3 Down Enter picks
# COM2 (both checked in default.ini after exit); F1 Enter opens a list in a sub-folder that
# holds a remark longer than the editor's limit, which an edit then stores whole; F1 Down
# Enter saves it under a bare name, which lands in that sub-folder; F4 Down Enter shows the
# about box; one Esc after each of F1 to F4 leaves I and O working; F1 and four Downs exit.
# Every step waits for what it needs (a window, a pop-up gone, a file), never a guessed time.
#
# usage: e2e_keyboard_menus.sh APP SIM ARTIFACT_DIR
set -euo pipefail

APP="$(realpath "$1")"
SIM="$(realpath "$2")"
# shellcheck source=x_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh" e2e-menus "$3"

# COM2 is the simulator, the other ports point nowhere; the saved settings are the opposite
# of what the menus will choose.
"$SIM" --protocol sony --still --start 01:00:00:00 --link "$WORK/vtr" >"$WORK/sim.log" 2>&1 &
PIDS+=($!)
wait_for "the simulator's link" test -e "$WORK/vtr"

cd "$WORK"
printf '[Default]\r\nFrameCheck=4\r\nDrop=1\r\ncom=1\r\n[Ports]\r\n' >default.ini
for n in 1 3 4 5; do printf 'COM%d=/nonexistent/tty%d\r\n' "$n" "$n" >>default.ini; done
printf 'COM2=%s\r\n' "$WORK/vtr" >>default.ini

# A list with an SP No. of 7 characters and a remark of 300, beyond the editor's 5 and 255.
mkdir sub
REMARK="$(printf 'R%.0s' $(seq 300))"
printf '0001 ABCDEFG 01:00:00:00/01:00:10:00/10:00 %s\r\n' "$REMARK" >sub/long.txt

start_app

# A function key opens its pop-up; the next keys must reach the pop-up, not the list.
open_menu() {
    key "$1"
    wait_for "the $1 pop-up" shown 2
}


# F2 Enter: the first item, 3 frames non-drop. F3 Down Enter: COM2.
open_menu F2
key Return
wait_for "the F2 pop-up to close" only_main
open_menu F3
key Down Return
wait_for "the F3 pop-up to close" only_main

# F1 Enter: Open, starting in the working folder; a name relative to it.
open_menu F1
key Return
dialog '開く'
xdotool type --delay 20 "sub/long.txt"
key Return
wait_for "the open dialog to close" only_main

# The cursor is back on row 1's IN. Left to the SP No., edit and store it; then to the
# REMARK: a typed character is refused at the limit, and Enter stores the remark whole.
key Left Return Return Right Right Right Right Return x Return

# F1 Down Enter: Save As, which starts in sub/, where the bare name lands.
open_menu F1
key Down Return
dialog '名前を付けて保存'
xdotool type --delay 20 "copy"
key Return
wait_for "sub/copy.txt" test -s "$WORK/sub/copy.txt"
wait_for "the save dialog to close" only_main
[[ ! -e "$WORK/copy.txt" ]] || fail "the bare name was saved in the working folder"

# The file format writes an SP No. as its first five characters.
printf '0001 ABCDE 01:00:00:00/01:00:10:00/10:00 %s\r\n' "$REMARK" >"$WORK/expected.txt"
if ! cmp -s "$WORK/sub/copy.txt" "$WORK/expected.txt"; then
    echo "--- written" >&2
    cat -A "$WORK/sub/copy.txt" >&2
    fail "the list was not stored unchanged"
fi

# F4 Down Enter: the about box; Esc closes it.
open_menu F4
key Down Return
dialog 'バージョン情報'
key Escape
wait_for "the about box to close" only_main

# One Esc from each pop-up gives the keyboard back to the list: I and O capture at once (the
# cursor is on row 2's IN after the remark), and Save writes to the file the list has.
for step in "F1 i" "F2 o" "F3 i" "F4 o"; do
    read -r fkey capture <<<"$step"
    open_menu "$fkey"
    key Escape
    wait_for "the $fkey pop-up to close" only_main
    key "$capture"
done
open_menu F1
key Down Down Return
wait_for "rows 2 and 3 captured and saved" \
    test "$(grep -c '^000[23] 000[23]  01:00:00:00/' "$WORK/sub/copy.txt")" = 2
wait_for "the F1 pop-up to close" only_main

screenshot "$ARTIFACTS/e2e-menus-window.png"

# F1, Down four times, Enter: Exit. The list was saved, so no question comes.
open_menu F1
key Down Down Down Down Return
wait_app_end


ini_value() {
    tr -d '\r' <"$WORK/default.ini" | sed -n "/^\[Default\]/,/^\[/{s/^$1=//p}"
}
declare -A EXPECT=([FrameCheck]=3 [Drop]=0 [com]=2)
for k in "${!EXPECT[@]}"; do
    got="$(ini_value "$k")"
    [[ "$got" == "${EXPECT[$k]}" ]] || fail "default.ini $k is '$got', expected '${EXPECT[$k]}'"
done
[[ ! -e "$WORK/sub/default.ini" ]] || fail "default.ini was written into sub/"

echo "1 passed, 0 failed"
