#!/usr/bin/env bash
# Desktop test of the keyboard: without a click, Ctrl+E at start-up (the focus
# in the pattern-number box) brings the EXIT box, which answers to N and Y;
# Ctrl+E works in the input-text field; Tab and Shift+Tab reach the buttons
# of the panel definition dialog; and the window keeps its place and size
# from one start to the next, also across a start at twice the scale.
# Usage: keys_test.sh PATH_TO_DEDUR
set -u
dedur="$1"
name=keys
source "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"

# Waits for the box captioned $1 and presses the keys $2...
answer_box() {
    local caption=$1
    shift
    local box
    box=$(timeout 10 xdotool search --sync --name "^$caption\$" | head -n 1)
    [ -n "$box" ] || fail "the box \"$caption\" did not appear"
    xdotool windowfocus --sync "$box" 2>/dev/null
    sleep 0.8
    xdotool key "$@"
    sleep 0.5 # a letter clicks its button after a short flash
}
window_gone() { ! xdotool search --name "^$1\$" >/dev/null 2>&1; }
wait_exit() {
    for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app" 2>/dev/null && fail "the editor did not exit"
    app=
}
saved_rect() { grep -a '^MAINWINRECT' "$work/DEDUR.INI" | tr -d '\r'; }

start_editor
xdotool key ctrl+e
answer_box EXIT n
kill -0 "$app" 2>/dev/null || fail "N on the EXIT box ended the editor"
focus_editor
xdotool key ctrl+e
answer_box EXIT y
wait_exit
first=$(saved_rect)
[ -n "$first" ] || fail "no MAINWINRECT after the first run"

start_editor
# "t" is also Cut's letter: it only moves to the item, Return chooses it.
xdotool key alt+e; sleep 0.5; xdotool key t; sleep 0.3; xdotool key Return
field=$(timeout 10 xdotool search --sync --name "^ $" | head -n 1)
[ -n "$field" ] || fail "the input-text dialog did not open"
xdotool windowfocus --sync "$field" 2>/dev/null
sleep 0.5
xdotool type --delay 20 "abc"
xdotool key ctrl+e
answer_box EXIT n

# Seg, Com, Width, Height, the two lists, Apply, OK: the ninth stop is Cancel.
focus_editor
xdotool key alt+s; sleep 0.5; xdotool key d
dialog=$(timeout 10 xdotool search --sync --name "^LCD Panel Definition\$" | head -n 1)
[ -n "$dialog" ] || fail "the panel definition dialog did not open"
xdotool windowfocus --sync "$dialog" 2>/dev/null
sleep 0.5
xdotool key Tab Tab Tab Tab Tab Tab Tab Tab space
sleep 0.5
window_gone "LCD Panel Definition" || fail "Tab did not reach the Cancel button"
focus_editor
xdotool key alt+s; sleep 0.5; xdotool key d
dialog=$(timeout 10 xdotool search --sync --name "^LCD Panel Definition\$" | head -n 1)
xdotool windowfocus --sync "$dialog" 2>/dev/null
sleep 0.5
xdotool key shift+Tab space
sleep 0.5
window_gone "LCD Panel Definition" || fail "Shift+Tab did not reach the Cancel button"

exit_editor
second=$(saved_rect)
[ "$first" = "$second" ] || fail "the window moved or shrank: $first, then $second"

# Even numbers, so that halving at twice the scale loses nothing.
sed -i "s/^MAINWINRECT = .*/MAINWINRECT = 100,80,1099,879\r/" "$work/DEDUR.INI"
QT_SCALE_FACTOR=2 start_editor
exit_editor
scaled=$(saved_rect)
start_editor
exit_editor
[ "$scaled" = "MAINWINRECT = 100,80,1099,879" ] || fail "at twice the scale: $scaled"
[ "$(saved_rect)" = "$scaled" ] || fail "after a start at twice the scale: $(saved_rect)"
echo "PASS: keys reach their commands and boxes wherever the focus is; the window keeps its rectangle"
