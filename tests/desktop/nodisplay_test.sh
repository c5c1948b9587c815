#!/usr/bin/env bash
# Without a display the editor says so in one line and exits 1 (2 for a wrong
# argument), leaving no file behind; it never aborts.
# Usage: nodisplay_test.sh PATH_TO_DEDUR
set -u
dedur="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
fail() { echo "FAIL: $*"; exit 1; }

env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$dedur" >out 2>err
status=$?
[ "$status" = 1 ] || fail "exit status $status: $(cat err)"
[ "$(cat err)" = "dedur: no graphical display could be opened (DISPLAY or WAYLAND_DISPLAY names none that answers); the editor needs one, dedur-cli works without." ] ||
    fail "said: $(cat err)"

env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$dedur" --bogus >out 2>err
status=$?
[ "$status" = 2 ] || fail "exit status $status for --bogus: $(cat err)"
head -n 1 err | grep -qx "dedur: Unknown option 'bogus'." || fail "said for --bogus: $(cat err)"

[ -z "$(ls -A | grep -v '^out$\|^err$')" ] || fail "files left behind: $(ls -A)"
echo "PASS"
