#!/usr/bin/env bash
# The additions through real X events: Ctrl+wheel over the grid and Ctrl++
# zoom, and a click then sets the dot under the pointer of the bigger cells;
# the panel view opens from the Setting menu and a click on a pattern's
# outline goes to that pattern.
# Usage: extras_test.sh PATH_TO_DEDUR
set -u
dedur="$1"
name=extras
source "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"

# Two blank 12 x 12 patterns, the second at SEG 40, COM 20.
rows=$(for _ in $(seq 12); do printf '000000000000\r\n'; done)
printf 'PATTERN\r\n2\r\nSIZE 12 12 1 1 0 2\r\n%s\r\nSIZE 12 12 40 20 0 2\r\n%s\r\n' "$rows" "$rows" \
    >"$work/two.pat"
printf '[others]\r\nPATFILE = %s\r\n' "$work/two.pat" >"$work/DEDUR.INI"
start_editor
find_grid 12 12
# Cells 8 -> 12 with Ctrl+wheel up over the grid, -> 16 with Ctrl++.
xdotool mousemove $(cell 5 5) keydown ctrl click 4 keyup ctrl
sleep 0.3
focus_editor
xdotool key ctrl+plus
sleep 0.5
# Cells of 16 pixels and lines of 1: dot (3, 2) is centred 17 * 3 + 8 pixels
# right of the first grid line.
xdotool mousemove $(( gx + 5 + 17 * 3 + 8 )) $(( gy + 5 + 17 * 2 + 8 )) click 1
sleep 0.3
focus_editor
xdotool key F3
for _ in $(seq 50); do sed -n 6p "$work/two.pat" | grep -q "^000100000000" && break; sleep 0.1; done
sed -n 6p "$work/two.pat" | grep -q "^000100000000" || { cat "$work/two.pat"; fail "dot (3, 2) not set"; }
grep -q "^ZOOMCELL = 16"$'\r'"\$" "$work/DEDUR.INI" || { cat "$work/DEDUR.INI"; fail "ZOOMCELL not stored"; }

xdotool key alt+s v
view=$(timeout 10 xdotool search --sync --onlyvisible --name "^Panel view\$" | head -n 1)
[ -n "$view" ] || fail "the panel view did not open"
sleep 0.5
# Pattern 2's outline: SEG 40..51, COM 20..31 at 5 pixels a line, the panel
# 28 in from the left and 18 down (room for the rulers); its middle.
eval "$(xdotool getwindowgeometry --shell "$view")"
xdotool mousemove $(( X + 28 + 39 * 5 + 30 )) $(( Y + 18 + 19 * 5 + 30 )) click 1
sleep 0.5
exit_editor
grep -q "^PATNO = 1"$'\r'"\$" "$work/DEDUR.INI" || { cat "$work/DEDUR.INI"; fail "the click did not go to pattern 2"; }
echo "PASS: zoomed with the wheel and keys, drew in a zoomed cell, went to a pattern from the panel view"
