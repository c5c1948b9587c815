# Shared by the desktop tests (sourced): a private X server, the editor in a
# fresh directory, the grid's place on screen, and failure reports.
# The caller sets `name` (used for the folder and the failure screenshot).

for tool in Xvfb xdotool import convert; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is not installed (Debian: xvfb, xdotool, imagemagick)"
        exit 77
    fi
done

# No dot in the folder name: Save as puts ".pat" in place of the path's last dot.
work=$(mktemp -d "${TMPDIR:-/tmp}/dedur${name}XXXXXX")
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
    local shot="${TMPDIR:-/tmp}/dedur-${name}-failure.png"
    [ -n "$display" ] && import -display "$display" -window root "$work/failure.png" 2>/dev/null &&
        cp "$work/failure.png" "$shot" && echo "screenshot: $shot"
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
# The real X11 platform, whatever the caller set for the offscreen tests.
unset QT_QPA_PLATFORM

# Starts the editor in $work, with the arguments given, and waits for its
# window ($window).
start_editor() {
    cd "$work" || exit 1
    "$dedur" "$@" >"$work/dedur.log" 2>&1 &
    app=$!
    window=$(timeout 20 xdotool search --sync --name "VOV Odedode Dizari" | head -n 1)
    [ -n "$window" ] || fail "the editor window did not appear"
    focus_editor
    sleep 1
}

focus_editor() {
    xdotool windowfocus --sync "$window" 2>/dev/null
}

# Finds the grid of a W x H pattern with 8 x 8 cells by its thumbnail frame
# (pure blue, one pixel left of and above the thumbnail) and defines
# `cell COLUMN ROW`, the screen point at the centre of a dot's cell.
find_grid() {
    import -window root "$work/shot.png" || fail "no screenshot"
    local blue
    blue=$(convert "$work/shot.png" txt:- | grep -m 1 '#0000FF' | cut -d: -f1)
    [ -n "$blue" ] || fail "no thumbnail frame on screen"
    gx=$(( ${blue%,*} - (9 * $1 + 6) ))
    gy=$(( ${blue#*,} - ((9 * $2) / 2 - $2 / 2 - 1) ))
}
cell() { echo "$(( gx + 9 * $1 + 10 )) $(( gy + 9 * $2 + 10 ))"; }

# Enter on each of the boxes captioned $1, $2, ... as they appear.
press_return_on() {
    local caption question
    for caption in "$@"; do
        question=$(timeout 10 xdotool search --sync --name "^$caption\$" | head -n 1)
        [ -n "$question" ] || fail "the box \"$caption\" did not appear"
        xdotool windowfocus --sync "$question" 2>/dev/null
        sleep 0.8
        xdotool key Return
    done
}

# Ctrl+E and Enter on the "EXIT" question; Enter (Yes) also on the question
# captioned $1 when one is given. The editor must then be gone.
exit_editor() {
    focus_editor
    xdotool key ctrl+e
    press_return_on EXIT ${1:+"$1"}
    for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app" 2>/dev/null && fail "the editor did not exit"
    app=
}
