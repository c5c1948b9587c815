#!/usr/bin/env bash
# Writes the dedur-cli manual page to stdout from the program's own --help
# texts, so that the two never disagree.
# Usage: dist/cli-manpage.sh PATH/TO/dedur-cli VERSION
set -euo pipefail
cli=$1
version=$2

# roff-safe text: backslashes escaped, minus signs kept as minus signs, and
# lines that would read as requests protected.
escape() {
    sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"
}

cat <<HEAD
.TH DEDUR\\-CLI 1 "" "dedur $version" "User Commands"
.SH NAME
dedur\\-cli \\- batch work on dedur pattern files and glyph files
.SH SYNOPSIS
.B dedur\\-cli
.I COMMAND
.RI [ ARGS ...]
.br
.B dedur\\-cli
.I COMMAND
.B \\-\\-help
.br
.B dedur\\-cli \\-\\-version
.SH DESCRIPTION
.nf
HEAD
"$cli" --help | sed -n '/^Batch/,/^$/p' | escape
echo ".fi"
echo ".SH COMMANDS"
for command in $("$cli" --help | sed -n '/^commands:/,$p' | awk 'NR > 1 { print $1 }'); do
    echo ".SS $command"
    echo ".nf"
    "$cli" "$command" --help | escape
    echo ".fi"
done
cat <<TAIL
.SH EXIT STATUS
0 done, 1 failed (the reason on standard error), 2 wrong usage.
.SH SEE ALSO
.BR dedur (1)
TAIL
