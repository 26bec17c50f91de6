#!/usr/bin/env bash
# check_install.sh <cmake> <cpack> <build dir> <app id> <project version> <icon size>...
# Installs the build into a scratch prefix, checks what the desktop, man and
# the software centre need from it, then builds the .deb and runs lintian.
set -uo pipefail
cmake=$1 cpack=$2 build=$3 id=$4
# As the program shows it: 1.0.3 is 1.00.0003.
IFS=. read -r major minor patch <<<"$5"
printf -v version '%d.%02d.%04d' "$major" "$minor" "$patch"
shift 5
for tool in desktop-file-validate appstreamcli lintian man file; do
    command -v $tool >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$cmake" --install "$build" --prefix "$work/usr" >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
share=$work/usr/share
out=$(QT_QPA_PLATFORM=offscreen "$work/usr/bin/mirabolo" --version 2>/dev/null)
[[ $out == "mirabolo $version" ]] || fail "--version prints '$out'"
grep -qx "Exec=mirabolo" "$share/applications/$id.desktop" || fail "the launcher does not start mirabolo"
grep -qx "Icon=$id" "$share/applications/$id.desktop" || fail "the launcher does not name the icon $id"
grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" || fail "no release $version in the metainfo"
out=$(desktop-file-validate "$share/applications/$id.desktop" 2>&1) && [[ -z $out ]] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" 2>&1) || fail "appstreamcli: $out"
# The theme trusts the folder's name for the size.
for n in "$@"; do
    file "$share/icons/hicolor/${n}x$n/apps/$id.png" | grep -q "PNG image data, $n x $n," || fail "icon ${n}x$n"
done
grep -q "<svg" "$share/icons/hicolor/scalable/apps/$id.svg" || fail "no scalable icon"
[[ -f $share/doc/mirabolo/examples/mirabolo.conf ]] || fail "no example mirabolo.conf"
# Both pages render cleanly, and each option the program knows is documented.
options=$(QT_QPA_PLATFORM=offscreen "$work/usr/bin/mirabolo" --help 2>/dev/null | grep -oE -- '--[a-z-]+' | sort -u)
for page in man6 it/man6; do
    text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$share/man/$page/mirabolo.6.gz" 2>"$work/warnings")
    [[ -n $text && ! -s $work/warnings ]] || fail "$page/mirabolo.6: $(cat "$work/warnings")"
    for option in $options; do grep -q -- "$option" <<<"$text" || fail "$page/mirabolo.6 lacks $option"; done
done

"$cpack" -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
lintian --fail-on error,warning "$work"/deb/*.deb 2>/dev/null || fail "lintian reports the above"

((failures == 0)) || { echo "$failures check(s) failed"; exit 1; }
echo "installed files are complete and valid; lintian is clean"
