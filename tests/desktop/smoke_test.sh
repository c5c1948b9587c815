#!/usr/bin/env bash
# Desktop smoke test: starts dedur under Xvfb in an empty directory, draws a
# line with the mouse, saves through the real Save as dialog, exits with
# Ctrl+E and checks the pattern file and DEDUR.INI on disk.
# Usage: smoke_test.sh PATH_TO_DEDUR
set -u
dedur="$1"
for tool in Xvfb xdotool import convert; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is not installed (Debian: xvfb, xdotool, imagemagick)"
        exit 77
    fi
done

# No dot in the folder name: Save as puts ".pat" in place of the path's last dot.
work=$(mktemp -d "${TMPDIR:-/tmp}/dedursmokeXXXXXX")
display=""
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    echo "--- dedur output:"; cat "$work/dedur.log" 2>/dev/null
    echo "--- X server output:"; cat "$work/xvfb.log" 2>/dev/null
    [ -n "$display" ] && import -display "$display" -window root "$work/failure.png" 2>/dev/null &&
        cp "$work/failure.png" "${TMPDIR:-/tmp}/dedur-smoke-failure.png" &&
        echo "screenshot: ${TMPDIR:-/tmp}/dedur-smoke-failure.png"
    exit 1
}

# The X server picks a free display itself and writes its number once it
# accepts connections; -noreset keeps it from restarting (and refusing
# connections for a moment) each time its last client leaves.
# A machine where no X server can run skips the test.
start_xvfb() {
    rm -f "$work/display"
    Xvfb -displayfd 3 -noreset -screen 0 1400x1100x24 -nolisten tcp 3>"$work/display" >>"$work/xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && grep -q '^[0-9]' "$work/display" && return 0
        kill -0 "$xvfb" 2>/dev/null || return 1
        sleep 0.1
    done
    kill "$xvfb" 2>/dev/null
    return 1
}
started=""
for attempt in 1 2 3; do
    if start_xvfb; then
        display=":$(head -n 1 "$work/display" | tr -dc 0-9)"
        if DISPLAY="$display" xdotool getdisplaygeometry >/dev/null 2>&1; then
            started=yes
            break
        fi
        kill "$xvfb" 2>/dev/null
    fi
    echo "attempt $attempt: the X server did not start"
done
if [ -z "$started" ]; then
    echo "--- X server output:"; cat "$work/xvfb.log"
    echo "SKIPPED: no X server could be started on this machine"
    exit 77
fi
export DISPLAY="$display"

cd "$work" || exit 1
"$dedur" >"$work/dedur.log" 2>&1 &
app=$!
window=$(timeout 20 xdotool search --sync --name "VOV Odedode Dizari" | head -n 1)
[ -n "$window" ] || fail "the editor window did not appear"
xdotool windowfocus --sync "$window" 2>/dev/null
sleep 1

# The thumbnail frame (pure blue) sits at (114, 47) in the grid of a 12 x 12
# pattern with 8 x 8 cells; the grid's origin follows from it.
import -window root "$work/shot.png" || fail "no screenshot"
blue=$(convert "$work/shot.png" txt:- | grep -m 1 '#0000FF' | cut -d: -f1)
[ -n "$blue" ] || fail "no thumbnail frame on screen"
gx=$(( ${blue%,*} - 114 ))
gy=$(( ${blue#*,} - 47 ))
cell() { echo "$(( gx + 9 * $1 + 10 )) $(( gy + 9 * $2 + 10 ))"; }

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

xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key F4
dialog=$(timeout 10 xdotool search --sync --name "Select a file to save" | head -n 1)
[ -n "$dialog" ] || fail "the Save as dialog did not appear"
xdotool windowfocus --sync "$dialog" 2>/dev/null
sleep 1
xdotool type --delay 20 "$work/smoke"
xdotool key Return
for _ in $(seq 100); do [ -f "$work/smoke.pat" ] && break; sleep 0.1; done
[ -f "$work/smoke.pat" ] || fail "smoke.pat was not written"

xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key ctrl+e
question=$(timeout 10 xdotool search --sync --name "^EXIT$" | head -n 1)
[ -n "$question" ] || fail "the exit question did not appear"
xdotool windowfocus --sync "$question" 2>/dev/null
sleep 0.8
xdotool key Return
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the editor did not exit"
app=

expected=$'PATTERN\r\n1\r\nSIZE 12 12 1 1 0 2\r\n'
for row in $(seq 0 11); do
    line=""
    for col in $(seq 0 11); do [ "$row" = "$col" ] && line+="1" || line+="0"; done
    expected+="$line"$'\r\n'
done
printf '%s' "$expected" >"$work/expected.pat"
cmp -s "$work/expected.pat" "$work/smoke.pat" || { cat -A "$work/smoke.pat"; fail "smoke.pat does not hold the diagonal line"; }

ini=$(cat "$work/DEDUR.INI")
grep -q "^PATFILE = $work/smoke.pat"$'\r'"\$" "$work/DEDUR.INI" || { echo "$ini"; fail "PATFILE not stored"; }
grep -q "^PATNO = 0"$'\r'"\$" "$work/DEDUR.INI" || fail "PATNO not stored"
grep -q "^EDITTYPE = 1"$'\r'"\$" "$work/DEDUR.INI" || fail "EDITTYPE not stored"
grep -q "^MAINWINRECT = [0-9-]*,[0-9-]*,[0-9]*,[0-9]*"$'\r'"\$" "$work/DEDUR.INI" || fail "MAINWINRECT not stored"
echo "PASS: drew, saved and exited through the desktop"
