#!/usr/bin/env bash
# Renders the pictures the window and the desktop use from the SVG sources
# into rendered/. The build takes the rendered files as they are, so that
# building needs neither librsvg nor ImageMagick: run this after changing an
# SVG and commit rendered/ with it.
#
# Needs rsvg-convert (Debian: librsvg2-bin) and convert/identify (imagemagick).
# Same sources and same tools give the same bytes: nothing of the time of the
# run or of the machine ends up in the files.
#
# render.sh --check renders into a scratch folder and only reports whether
# rendered/ is up to date with the SVGs (exit status 1 if not).
set -euo pipefail

check=false
case ${1-} in
    --check) check=true ;;
    '') ;;
    *) echo "usage: $0 [--check]" >&2; exit 2 ;;
esac

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=$here/rendered

for tool in rsvg-convert convert identify; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "render.sh: $tool is missing (Debian: apt-get install librsvg2-bin imagemagick)" >&2
        exit 1
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/png" "$work/out"

# ImageMagick stamps files with the time of the run (PNG tIME and text
# chunks, date properties); strip all of it.
clean=(-strip +set date:create +set date:modify +set date:timestamp)

# png <svg name> <width> <height>: prints the path of a fresh rendering.
png() {
    local dest="$work/png/$1-$2x$3.png"
    rsvg-convert --width "$2" --height "$3" --format png \
        --output "$dest" "$here/$1.svg"
    echo "$dest"
}

# ico <svg name> <size>...: one icon file holding every size, largest first.
ico() {
    local name=$1
    shift
    local frames=()
    local size
    for size in "$@"; do
        frames+=("$(png "$name" "$size" "$size")")
    done
    convert "${frames[@]}" "${clean[@]}" "$work/out/$name.ico"
}

ico mirabolo 48 32 16
for name in next-normal next-pressed next-disabled exit stopwatch; do
    ico "$name" 32 16
done
ico face 32

# The bitmap: 24 bits a pixel, no alpha channel (BMP3).
convert "$(png tubes 216 221)" -background white -alpha remove -alpha off \
    "${clean[@]}" -type TrueColor BMP3:"$work/out/tubes.bmp"

convert "$(png cylinders 220 293)" -background white -alpha remove -alpha off \
    "${clean[@]}" -sampling-factor 2x2 -quality 92 -interlace none \
    JPEG:"$work/out/cylinders.jpg"

# Icons for the desktop's hicolor theme: the game's and the register's.
for name in mirabolo registro; do
    for size in 16 24 32 48 64 128 256; do
        convert "$(png "$name" "$size" "$size")" "${clean[@]}" \
            -define png:exclude-chunks=date,time PNG32:"$work/out/$name-$size.png"
    done
done

if $check; then
    if diff -r "$work/out" "$out" >/dev/null; then
        echo "rendered/ is up to date"
        exit 0
    fi
    diff -rq "$work/out" "$out" | sed "s|$work/out|new|; s|$out|rendered|" >&2 || true
    echo "rendered/ is out of date: run $0" >&2
    exit 1
fi

# Replace the whole folder, so that a picture no longer made does not linger.
rm -rf "$out"
mv "$work/out" "$out"

cd "$out"
identify -format '%f[%p]: %m %wx%h %[channels] %z-bit\n' ./*
