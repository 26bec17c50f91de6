#!/usr/bin/env bash
# check_install.sh <cmake> <cpack> <build dir> <app id> <register app id> <project version> <icon size>...
# Installs the build into a scratch prefix, checks what the desktop, man and
# the software centre need from it, then builds the .deb and runs lintian.
set -uo pipefail
cmake=$1 cpack=$2 build=$3 id=$4 registro_id=$5
# As the program shows it: 1.0.3 is 1.00.0003.
IFS=. read -r major minor patch <<<"$6"
printf -v version '%d.%02d.%04d' "$major" "$minor" "$patch"
shift 6
for tool in desktop-file-validate appstreamcli lintian man file; do
    command -v $tool >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$cmake" --install "$build" --prefix "$work/usr" >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
share=$work/usr/share
grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" || fail "no release $version in the metainfo"
out=$(appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" 2>&1) || fail "appstreamcli: $out"
[[ -f $share/doc/mirabolo/examples/mirabolo.conf ]] || fail "no example mirabolo.conf"
# The guide where the example points, with every picture it shows.
guide=$share/doc/mirabolo/guida-insegnanti.md
grep -q "${guide#"$work"}" "$share/doc/mirabolo/examples/mirabolo.conf" || fail "mirabolo.conf does not point to the guide"
while read -r picture; do
    file "$share/doc/mirabolo/$picture" | grep -q "PNG image data" || fail "the guide's $picture is not installed"
done < <(grep -oE '\]\([^)]+\.png\)' "$guide" | sed 's/^](//; s/)$//')

# Each program: --version, its launcher and icons, and its pages in both
# languages, clean and documenting every option the program knows.
check_program() {
    local program=$1 app=$2 section=$3 out options text page n
    out=$(QT_QPA_PLATFORM=offscreen "$work/usr/bin/$program" --version 2>/dev/null)
    [[ $out == "$program $version" ]] || fail "$program --version prints '$out'"
    grep -qx "Exec=$program" "$share/applications/$app.desktop" || fail "the launcher does not start $program"
    grep -qx "Icon=$app" "$share/applications/$app.desktop" || fail "the launcher does not name the icon $app"
    out=$(desktop-file-validate "$share/applications/$app.desktop" 2>&1) && [[ -z $out ]] \
        || fail "desktop-file-validate: $out"
    # The theme trusts the folder's name for the size.
    for n in "${sizes[@]}"; do
        file "$share/icons/hicolor/${n}x$n/apps/$app.png" | grep -q "PNG image data, $n x $n," \
            || fail "$app icon ${n}x$n"
    done
    grep -q "<svg" "$share/icons/hicolor/scalable/apps/$app.svg" || fail "no scalable icon $app"
    options=$(QT_QPA_PLATFORM=offscreen "$work/usr/bin/$program" --help 2>/dev/null | grep -oE -- '--[a-z-]+' | sort -u)
    [[ -n $options ]] || fail "$program --help names no option"
    for page in man$section it/man$section; do
        text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$share/man/$page/$program.$section.gz" \
            2>"$work/warnings")
        [[ -n $text && ! -s $work/warnings ]] || fail "$page/$program.$section: $(cat "$work/warnings")"
        for option in $options; do grep -q -- "$option" <<<"$text" || fail "$page/$program.$section lacks $option"; done
    done
}
sizes=("$@")
check_program mirabolo "$id" 6
check_program mirabolo-registro "$registro_id" 1

"$cpack" -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
lintian --fail-on error,warning "$work"/deb/*.deb 2>/dev/null || fail "lintian reports the above"

((failures == 0)) || { echo "$failures check(s) failed"; exit 1; }
echo "installed files are complete and valid; lintian is clean"
