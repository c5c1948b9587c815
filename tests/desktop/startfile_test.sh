#!/usr/bin/env bash
# The editor as the desktop launcher starts it: `dedur --launched FILE.pat`
# works in $XDG_DATA_HOME/dedur (made, with its glyph files, on first start)
# and opens the file given in place of the last one.
# Usage: startfile_test.sh PATH_TO_DEDUR PATH_TO_DEDUR_CLI
set -u
dedur="$1"
cli="$2"
name=startfile
source "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"

export XDG_DATA_HOME="$work/data"
mkdir -p "$work/files"
"$cli" new "$work/files/given.pat" --size 9x5 --count 3 >/dev/null || fail "dedur-cli new failed"

start_editor --launched "$work/files/given.pat"
title=$(xdotool getwindowname "$window")
[ "$title" = "VOV Odedode Dizari : ( $work/files/given.pat )" ] || fail "title \"$title\""
find_grid 9 5
for file in DEDUR.INI STD16X15.fon STD24.fon ASCFONT.15 SPCFONT.15 SPCFSUPP.15; do
    [ -f "$XDG_DATA_HOME/dedur/$file" ] || fail "$file was not made in the data folder"
done
[ -e "$work/DEDUR.INI" ] && fail "DEDUR.INI was made in the starting folder"
exit_editor
grep -q "PATFILE = $work/files/given.pat" "$XDG_DATA_HOME/dedur/DEDUR.INI" ||
    fail "the settings do not name the file: $(cat "$XDG_DATA_HOME/dedur/DEDUR.INI")"

# A file where the data folder belongs: said in a box, and the editor stops
# without leaving a file in the folder it started in or in $HOME.
export XDG_DATA_HOME="$work/broken" HOME="$work/home"
mkdir -p "$XDG_DATA_HOME" "$HOME" "$work/elsewhere"
echo "not a folder" >"$XDG_DATA_HOME/dedur"
cd "$work/elsewhere" || exit 1
"$dedur" --launched >"$work/dedur.log" 2>&1 &
app=$!
press_return_on dedur
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the editor went on without its data folder"
wait "$app"; status=$?; app=
[ "$status" = 1 ] || fail "exit status $status without its data folder"
leftovers=$(find "$work/elsewhere" "$HOME" -mindepth 1)
[ -z "$leftovers" ] || fail "files left behind: $leftovers"
echo "PASS"
