#!/usr/bin/env bash
# Installs into a temporary prefix and runs the installed program: it finds its media from its
# own location, shows the sky and quits with Ctrl+Q. The launcher and the AppStream file are
# valid; the manual page renders without a warning; the changelog and the manual page are those
# of the version built. The Debian package made from the build tree passes lintian without an
# error or a warning.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build=$1
ensure_display

prefix="$e2e_tmp/prefix with space"
cmake --install "$build" --prefix "$prefix" >/dev/null
desktop-file-validate "$prefix/share/applications/quorvane.desktop" ||
    fail "the launcher does not validate"
appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml >/dev/null ||
    fail "the AppStream file does not validate"
for size in 48 64 128 256; do
    [[ $(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x${size}/apps/quorvane.png") == "${size}x${size}" ]] ||
        fail "icon ${size}x${size}"
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[[ -n $version ]] || fail "no project version in $build/CMakeCache.txt"

# The manual page: compressed as Debian wants it (gzip -9, no name or time stamp inside), and
# rendered as lintian renders it, where groff's warnings go to stderr.
man_page="$prefix/share/man/man1/quorvane.1.gz"
[[ -f $man_page ]] || fail "no manual page at share/man/man1/quorvane.1.gz"
type=$(file -b "$man_page")
[[ $type == "gzip compressed data, max compression"* && $type != *", was "* ]] ||
    fail "the manual page is not gzip -9n data: $type"
LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$man_page" \
    >/dev/null 2>"$e2e_tmp/man.err" || fail "man cannot render the manual page"
[[ ! -s $e2e_tmp/man.err ]] ||
    fail "the manual page renders with warnings: $(cat "$e2e_tmp/man.err")"
LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$man_page" >"$e2e_tmp/man.txt" 2>/dev/null
for option in --help --version; do
    grep -q -- "$option" "$e2e_tmp/man.txt" || fail "the manual page does not name $option"
done
grep -q "^quorvane $version " "$e2e_tmp/man.txt" ||
    fail "the manual page is not that of quorvane $version: $(tail -1 "$e2e_tmp/man.txt")"

# The changelog's latest entry is this version; the doc-base registration names the installed
# credits page.
doc=$prefix/share/doc/quorvane
[[ $(head -1 "$doc/copyright") == Format:* ]] || fail "the copyright file is not machine-readable"
gzip -dc "$doc/changelog.gz" >"$e2e_tmp/changelog" || fail "the changelog is not gzip data"
changelog_version=$(dpkg-parsechangelog -l "$e2e_tmp/changelog" -S Version) ||
    fail "the changelog does not parse"
[[ $changelog_version == "$version" ]] ||
    fail "the changelog's latest entry is $changelog_version, the build is $version"
for field in Index Files; do
    value=$(sed -n "s/^$field: //p" "$prefix/share/doc-base/quorvane-credits")
    [[ $value == "$doc/credits.html" ]] ||
        fail "doc-base's $field does not name $doc/credits.html"
done
[[ -f $doc/credits.html ]] || fail "no credits page"

cd "$e2e_tmp"
env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME="$e2e_tmp" "$prefix/bin/quorvane" 2>"$e2e_tmp/stderr" &
program_pid=$!
private_pids+=("$program_pid")
wait_for_sky || fail "the installed program shows no sky: $(cat "$e2e_tmp/stderr")"
xdotool key ctrl+q
status=0
wait_exit "$program_pid" 2 || status=$?
[[ $status -eq 0 ]] || fail "Ctrl+Q: status $status"

# The Debian package, made from the build tree into a folder of the test's own, and lintian's
# verdict on it: errors and warnings fail (the info tags are printed, no more).
if command -v cpack >/dev/null && command -v dpkg-deb >/dev/null &&
    command -v dpkg-shlibdeps >/dev/null; then
    command -v lintian >/dev/null || fail "lintian is not installed (scripts/setup.sh test)"
    cpack -B "$e2e_tmp/deb" --config "$build/CPackConfig.cmake" >"$e2e_tmp/cpack.log" 2>&1 ||
        fail "cpack: $(tail -20 "$e2e_tmp/cpack.log")"
    deb=$(echo "$e2e_tmp"/deb/quorvane_"$version"_*.deb)
    [[ -f $deb ]] || fail "cpack made no quorvane_${version}_*.deb: $(ls "$e2e_tmp/deb")"
    # lintian's status tells only whether it ran; the tags it prints are the verdict.
    lintian --fail-on none --display-info --pedantic "$deb" >"$e2e_tmp/lintian.txt" \
        2>"$e2e_tmp/lintian.err" || fail "lintian did not run: $(cat "$e2e_tmp/lintian.err")"
    grep '^[IP]:' "$e2e_tmp/lintian.txt" >&2 || true
    if grep -q '^[EW]:' "$e2e_tmp/lintian.txt"; then
        grep '^[EW]:' "$e2e_tmp/lintian.txt" >&2
        fail "lintian finds errors or warnings in the package"
    fi
else
    echo "no cpack or dpkg tools: the package is not checked" >&2
fi
echo "ok"
