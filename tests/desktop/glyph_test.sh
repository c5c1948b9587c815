#!/usr/bin/env bash
# Desktop test of the glyph editor: with freshly made glyph files, switches
# to the Big5 16x15 mode from the menu, jumps to a character by typing it,
# sets a dot, saves the glyph (F3), appends it as a C array (File > Export
# table) and exits; then checks the glyph file and the table on disk.
# Usage: glyph_test.sh PATH_TO_DEDUR PATH_TO_DEDUR_CLI
set -u
dedur="$1"
cli="$2"
name=glyph
source "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"

"$cli" make-fonts "$work" >/dev/null || fail "make-fonts failed"
top_left() { "$cli" glyph "$work/STD16X15.fon" --code A4A4 --print | head -n 1 | cut -c1; }
[ "$(top_left)" = "0" ] || fail "the glyph of A4A4 already has its top-left dot"

start_editor
xdotool key alt+s m 1
sleep 1
find_grid 16 15

# "中" is A4A4 in Big5; typing it over the main window shows its glyph.
focus_editor
xdotool type --delay 100 "中"
sleep 0.5
xdotool mousemove $(cell 0 0) click 1
sleep 0.3
focus_editor
xdotool key F3
sleep 0.5
for _ in $(seq 50); do [ "$(top_left)" = "1" ] && break; sleep 0.1; done
[ "$(top_left)" = "1" ] || fail "the saved glyph of A4A4 lacks the dot"

focus_editor
xdotool key alt+f t
for _ in $(seq 50); do [ -s "$work/16X15.TAB" ] && break; sleep 0.1; done
[ -s "$work/16X15.TAB" ] || fail "16X15.TAB was not written"
grep -qi "A4A4" "$work/16X15.TAB" || { cat "$work/16X15.TAB"; fail "16X15.TAB does not name A4A4"; }
"$cli" glyph "$work/STD16X15.fon" --code A4A4 --c-array "$work/cli.TAB" >/dev/null ||
    fail "dedur-cli could not write the array"
cmp -s "$work/cli.TAB" "$work/16X15.TAB" ||
    { diff "$work/cli.TAB" "$work/16X15.TAB"; fail "the editor's array differs from dedur-cli's"; }

# A saved glyph leaves the document marked as changed: Exit offers to save.
exit_editor "Save Font"
grep -q "^EDITTYPE = 2"$'\r'"\$" "$work/DEDUR.INI" || fail "EDITTYPE not stored"
grep -qi "^STD16X15FONT = A4A4"$'\r'"\$" "$work/DEDUR.INI" || { cat "$work/DEDUR.INI"; fail "STD16X15FONT not stored"; }
echo "PASS: typed, edited, saved and exported a glyph through the desktop"
