#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the tree as a desktop
# would use it: the programs answer --version, the launcher and the AppStream
# data validate, the manual pages render without warnings, the completion
# loads, and pattern files are typed by their content.
# Usage: install_test.sh BUILD_DIR VERSION
set -u
build="$1"
version="$2"
prefix=$(mktemp -d "${TMPDIR:-/tmp}/dedur-install-XXXXXX")
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
skip() { echo "skipped: $* (not installed)"; }

cmake --install "$build" --prefix "$prefix" >"$prefix/install.log" 2>&1 ||
    { cat "$prefix/install.log"; echo "FAIL: cmake --install"; exit 1; }
share="$prefix/share"
for path in bin/dedur bin/dedur-cli share/applications/dedur.desktop \
    share/metainfo/org.dedur.dedur.metainfo.xml share/mime/packages/dedur.xml \
    share/man/man1/dedur.1.gz share/man/man1/dedur-cli.1.gz \
    share/bash-completion/completions/dedur-cli share/icons/hicolor/scalable/apps/dedur.svg \
    share/dedur/templates/c-struct.mustache share/dedur/templates/bits-listing.mustache \
    share/doc/dedur/copyright share/doc/dedur/changelog.Debian.gz \
    share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/dedur.png; do
    [ -f "$prefix/$path" ] || fail "$path is not installed"
done

# --version needs no display.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$prefix/bin/dedur" --version 2>/dev/null)" = "dedur $version" ] ||
    fail "dedur --version"
[ "$("$prefix/bin/dedur-cli" --version)" = "dedur-cli $version" ] || fail "dedur-cli --version"

if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$share/applications/dedur.desktop" 2>&1) || fail "desktop file: $out"
    [ -z "$out" ] || fail "desktop file: $out"
else skip desktop-file-validate; fi

if command -v appstreamcli >/dev/null; then
    out=$(appstreamcli validate --no-net "$share/metainfo/org.dedur.dedur.metainfo.xml" 2>&1) ||
        fail "metainfo: $out"
else skip appstreamcli; fi

if command -v man >/dev/null; then
    for page in dedur dedur-cli; do
        out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" 2>&1 >/dev/null)
        [ -z "$out" ] || fail "man page $page: $out"
        LC_ALL=C.UTF-8 man -l "$share/man/man1/$page.1.gz" 2>/dev/null | grep -q "^NAME" ||
            fail "man page $page has no NAME section"
    done
    # One section per command of dedur-cli.
    for command in $("$prefix/bin/dedur-cli" --help | sed -n '/^commands:/,$p' | awk 'NR > 1 { print $1 }'); do
        LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$share/man/man1/dedur-cli.1.gz" 2>/dev/null |
            grep -q "^   $command\$" || fail "dedur-cli.1 has no section for $command"
    done
else skip man; fi

completion="$share/bash-completion/completions/dedur-cli"
bash -n "$completion" || fail "completion script does not parse"
if [ -f /usr/share/bash-completion/bash_completion ]; then
    out=$(PATH="$prefix/bin:$PATH" bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$1"
        complete -p dedur-cli >/dev/null || exit 1
        COMP_WORDS=(dedur-cli exp); COMP_CWORD=1; COMP_LINE="dedur-cli exp"; COMP_POINT=13
        _dedur_cli dedur-cli exp dedur-cli
        echo "${COMPREPLY[*]}"' _ "$completion") || fail "completion does not load"
    [ "$out" = "export" ] || fail "completion of \"exp\" gave \"$out\""
else skip bash-completion; fi

if command -v update-mime-database >/dev/null && command -v xdg-mime >/dev/null &&
    command -v mimetype >/dev/null; then
    update-mime-database "$share/mime" >/dev/null 2>&1 || fail "update-mime-database"
    printf 'PATTERN\r\n1\r\nSIZE 2 1 1 1 0 2\r\n11\r\n' >"$prefix/a.pat"
    cp "$prefix/a.pat" "$prefix/no-extension"
    for file in a.pat no-extension; do
        type=$(XDG_DATA_DIRS="$share:/usr/share" xdg-mime query filetype "$prefix/$file" 2>/dev/null)
        [ "$type" = "application/x-dedur-pattern" ] || fail "$file typed as \"$type\""
    done
else skip "update-mime-database, xdg-mime or mimetype"; fi

[ "$failures" -eq 0 ] || exit 1
echo "PASS"
