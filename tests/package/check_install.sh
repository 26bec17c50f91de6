#!/usr/bin/env bash
# check_install.sh <cmake> <build dir> <app id> <display version> <icon size>...
#
# Installs the build into a scratch prefix and checks the installed files:
# each must be where the desktop looks for it, say what the others expect,
# and pass the freedesktop validators.
set -uo pipefail

cmake=$1
build=$2
id=$3
version=$4
shift 4
sizes=("$@")

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

failures=0
skipped=()
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if ! "$cmake" --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1; then
    cat "$prefix.log"
    rm -f "$prefix.log"
    echo "FAIL: cmake --install did not succeed"
    exit 1
fi
rm -f "$prefix.log"

bin=$prefix/bin/mirabolo
desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
icons=$prefix/share/icons/hicolor

# The program itself: present, and it runs from where it was installed.
if [[ ! -x $bin ]]; then
    fail "bin/mirabolo is not installed or not executable"
else
    out=$(QT_QPA_PLATFORM=offscreen "$bin" --version 2>&1) \
        || fail "the installed program fails on --version: $out"
    [[ $out == *"$version"* ]] || fail "--version says '$out', not $version"
fi

# The launcher must start that program and show the installed icon.
if [[ ! -f $desktop ]]; then
    fail "share/applications/$id.desktop is not installed"
else
    grep -qx "Exec=mirabolo" "$desktop" || fail "$id.desktop does not start mirabolo"
    grep -qx "Icon=$id" "$desktop" || fail "$id.desktop does not name the icon $id"
fi

# The software centre finds the launcher by the id and shows the release.
if [[ ! -f $metainfo ]]; then
    fail "share/metainfo/$id.metainfo.xml is not installed"
else
    grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo does not carry the id $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" \
        || fail "the metainfo does not launch $id.desktop"
    grep -q "<release version=\"$version\"" "$metainfo" \
        || fail "the metainfo has no release entry for version $version"
fi

# Icons: the scalable one, and each fixed size really of its size, since
# the theme trusts the folder name.
svg=$icons/scalable/apps/$id.svg
if [[ ! -f $svg ]]; then
    fail "the scalable icon $id.svg is not installed"
elif ! grep -q "<svg" "$svg"; then
    fail "the scalable icon $id.svg is not an SVG file"
fi
for n in "${sizes[@]}"; do
    png=$icons/${n}x${n}/apps/$id.png
    if [[ ! -f $png ]]; then
        fail "icon ${n}x${n}/apps/$id.png is not installed"
        continue
    fi
    # PNG signature, then IHDR with width and height as big-endian words.
    read -r magic w h < <(od -An -v -tx1 -j0 -N24 "$png" | tr -d ' \n' \
        | sed -E 's/^(.{16}).{16}(.{8})(.{8})$/\1 \2 \3/')
    if [[ $magic != 89504e470d0a1a0a ]]; then
        fail "icon ${n}x${n}/apps/$id.png is not a PNG file"
    elif (( 16#$w != n || 16#$h != n )); then
        fail "icon ${n}x${n}/apps/$id.png is $((16#$w))x$((16#$h))"
    fi
done

# The freedesktop validators; exit status and any warning both count.
if command -v desktop-file-validate >/dev/null 2>&1; then
    if [[ -f $desktop ]]; then
        out=$(desktop-file-validate "$desktop" 2>&1)
        rc=$?
        if (( rc != 0 )) || grep -qE '(error|warning):' <<<"$out"; then
            fail "desktop-file-validate: $out"
        fi
    fi
else
    skipped+=("desktop-file-validate (package desktop-file-utils)")
fi
if command -v appstreamcli >/dev/null 2>&1; then
    if [[ -f $metainfo ]]; then
        out=$(appstreamcli validate --no-net "$metainfo" 2>&1) \
            || fail "appstreamcli validate: $out"
    fi
else
    skipped+=("appstreamcli (package appstream)")
fi

if (( failures > 0 )); then
    echo "$failures check(s) failed"
    exit 1
fi
if (( ${#skipped[@]} > 0 )); then
    echo "SKIPPED: not installed: ${skipped[*]}; all other checks passed"
    exit 77
fi
echo "installed files are complete and valid"
