#!/usr/bin/env bash
# The editor reopens a pattern file whose sidecar nests tables tens of
# thousands deep: it starts, says once that it leaves the sidecar alone, and
# a dot drawn and saved lands in the pattern file while the sidecar keeps
# every byte.
# Usage: hostile_test.sh PATH_TO_DEDUR PATH_TO_DEDUR_CLI
set -u
dedur="$1"
cli="$2"
name=hostile
source "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"

"$cli" new "$work/nested.pat" --size 12x12 >/dev/null || fail "dedur-cli new failed"
python3 -c 'import sys; sys.stdout.write("[" + "a." * 60000 + "a]\nb = 1\n")' >"$work/nested.pat.toml"
cp "$work/nested.pat.toml" "$work/before.toml"
printf '[others]\r\nEDITTYPE = 1\r\nPATFILE = %s\r\nPATNO = 0\r\n' "$work/nested.pat" >"$work/DEDUR.INI"

cd "$work" || exit 1
"$dedur" >"$work/dedur.log" 2>&1 &
app=$!
# The warning comes while the editor reads its last file, before its window.
press_return_on " "
window=$(timeout 20 xdotool search --sync --name "VOV Odedode Dizari" | head -n 1)
[ -n "$window" ] || fail "the editor window did not appear (crashed?)"
focus_editor
sleep 1
find_grid 12 12
xdotool mousemove $(cell 3 4) click 1
sleep 0.3
focus_editor
xdotool key ctrl+s
# Said once: that the sidecar was left alone.
press_return_on " "
kill -0 "$app" 2>/dev/null || fail "the editor ended on Save"
focus_editor
xdotool mousemove $(cell 5 4) click 1
sleep 0.3
# A second save says nothing more: the exit asks only its own question.
focus_editor
xdotool key ctrl+s
sleep 1
exit_editor
cmp -s "$work/before.toml" "$work/nested.pat.toml" || fail "the sidecar was changed"
row=$(sed -n '8p' "$work/nested.pat" | tr -d '\r')
[ "$row" = "000101000000" ] || { cat -A "$work/nested.pat"; fail "the dots were not saved"; }
echo "PASS: a deeply nested sidecar was left alone; the editor started and saved the pattern"
