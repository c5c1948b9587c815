#!/usr/bin/env bash
# Desktop smoke test: starts dedur under Xvfb in an empty directory, draws a
# fast stroke (undone and redone with the keys) and a line with the mouse, saves through the real Save as dialog, exits with
# Ctrl+E and checks the pattern file and DEDUR.INI on disk.
# Usage: smoke_test.sh PATH_TO_DEDUR
set -u
dedur="$1"
name=smoke
source "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"

start_editor
find_grid 12 12
xdotool search --class '^dedur$' | grep -qx "$window" || fail "the window's class is not dedur"

# A fast stroke of the point tool, one pointer event from end to end, sets the
# whole row; Ctrl+Z takes it back and Ctrl+Y brings it again (checked in the
# file below).
xdotool mousemove $(cell 0 11) mousedown 1
sleep 0.1
xdotool mousemove $(cell 11 11)
sleep 0.1
xdotool mouseup 1
sleep 0.3
xdotool key ctrl+z
sleep 0.3
import -window root "$work/undone.png"
xdotool key ctrl+y
sleep 0.3
# Undone, the row's middle cell shows the background again.
[ "$(convert "$work/undone.png" -format '%[pixel:p{'"$(cell 6 11 | tr ' ' ',')"'}]' info:)" != "black" ] ||
    fail "Ctrl+Z did not take the stroke back"

# The line tool is the fifth palette button: (100..124, 27..51) in the strip
# that ends where the grid begins.
xdotool mousemove $(( gx + 112 )) $(( gy - 57 + 39 )) click 1
sleep 0.3
xdotool mousemove $(cell 0 0) mousedown 1
sleep 0.1
xdotool mousemove $(cell 5 5)
sleep 0.1
xdotool mousemove $(cell 11 11)
sleep 0.1
xdotool mouseup 1
sleep 0.3

focus_editor
xdotool key F4
dialog=$(timeout 10 xdotool search --sync --name "Select a file to save" | head -n 1)
[ -n "$dialog" ] || fail "the Save as dialog did not appear"
xdotool windowfocus --sync "$dialog" 2>/dev/null
sleep 1
xdotool type --delay 20 "$work/smoke"
xdotool key Return
for _ in $(seq 100); do [ -f "$work/smoke.pat" ] && break; sleep 0.1; done
[ -f "$work/smoke.pat" ] || fail "smoke.pat was not written"

exit_editor

expected=$'PATTERN\r\n1\r\nSIZE 12 12 1 1 0 2\r\n'
for row in $(seq 0 11); do
    line=""
    for col in $(seq 0 11); do [ "$row" = "$col" ] || [ "$row" = 11 ] && line+="1" || line+="0"; done
    expected+="$line"$'\r\n'
done
printf '%s' "$expected" >"$work/expected.pat"
cmp -s "$work/expected.pat" "$work/smoke.pat" || { cat -A "$work/smoke.pat"; fail "smoke.pat does not hold the stroke and the diagonal line"; }

ini=$(cat "$work/DEDUR.INI")
grep -q "^PATFILE = $work/smoke.pat"$'\r'"\$" "$work/DEDUR.INI" || { echo "$ini"; fail "PATFILE not stored"; }
grep -q "^PATNO = 0"$'\r'"\$" "$work/DEDUR.INI" || fail "PATNO not stored"
grep -q "^EDITTYPE = 1"$'\r'"\$" "$work/DEDUR.INI" || fail "EDITTYPE not stored"
grep -q "^MAINWINRECT = [0-9-]*,[0-9-]*,[0-9]*,[0-9]*"$'\r'"\$" "$work/DEDUR.INI" || fail "MAINWINRECT not stored"
echo "PASS: drew, saved and exited through the desktop"
