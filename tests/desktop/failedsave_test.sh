#!/usr/bin/env bash
# Desktop test of a save that fails on the way out: the editor opens a
# read-only pattern file, a dot is set, Ctrl+E and Yes to both questions
# bring the real error box; after it the editor must still run with the dot.
# Once the file may be written again, the same exit saves the dot and ends.
# Usage: failedsave_test.sh PATH_TO_DEDUR PATH_TO_DEDUR_CLI
set -u
dedur="$1"
cli="$2"
name=failedsave
source "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"

"$cli" new "$work/locked.pat" --size 12x12 || fail "dedur-cli new failed"
chmod 0444 "$work/locked.pat"
cp "$work/locked.pat" "$work/before.pat"
printf '[others]\r\nEDITTYPE = 1\r\nPATFILE = %s\r\nPATNO = 0\r\n' "$work/locked.pat" >"$work/DEDUR.INI"

start_editor
find_grid 12 12
xdotool mousemove $(cell 3 4) click 1
sleep 0.3

# Yes to "EXIT" and to "Save Pattern"; the save fails with the real box.
focus_editor
xdotool key ctrl+e
press_return_on EXIT "Save Pattern" "Open error"
sleep 1
kill -0 "$app" 2>/dev/null || fail "the editor exited although the save failed"
cmp -s "$work/before.pat" "$work/locked.pat" || fail "the read-only file was changed"

chmod 0644 "$work/locked.pat"
exit_editor "Save Pattern"
row=$(sed -n '8p' "$work/locked.pat" | tr -d '\r')
[ "$row" = "000100000000" ] || { cat -A "$work/locked.pat"; fail "the dot was not saved after the failed save"; }
echo "PASS: a failed save on exit kept the editor and the dot; the next exit saved it"
