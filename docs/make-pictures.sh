#!/usr/bin/env bash
# Makes the guide's pictures from the programs as they are: a sample register
# of one class over a month with every answer beside it
# (bench/registro/make_register, the same bytes on every run) and the
# teacher's class list for it, opened by the real mirabolo-registro on a
# virtual screen and captured: the window as it opens, and "Cosa ripassare"
# for the class and for one pupil on a 1024×768 screen, the smallest the
# window is made for. Run it after changing the register window and commit
# docs/immagini/ with it.
#
# Usage: docs/make-pictures.sh [BUILD_DIR]
#   BUILD_DIR is a build of bench/ (default build-bench, made when missing:
#   it holds both the generator and the program, built in Release).
# Needs Xvfb, xdotool and ImageMagick (scripts/install-deps --test).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
out=$root/docs/immagini
program=$build/mirabolo/src/registro/mirabolo-registro
generator=$build/registro/make_register

for tool in Xvfb xdotool import convert cmake; do
    command -v "$tool" >/dev/null || { echo "make-pictures.sh: $tool is missing" >&2; exit 1; }
done
cmake -S "$root/bench" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --parallel 2 --target mirabolo-registro make_register >/dev/null

tmp=$(mktemp -d /tmp/mirabolo-pictures.XXXXXX)
xvfb=
pid=
# The program, then its screen, each waited for.
stop() {
    local running
    for running in $pid $xvfb; do
        kill "$running" 2>/dev/null
        wait "$running" 2>/dev/null || true # ended by that signal
    done
    pid='' xvfb=''
}
cleanup() {
    stop
    rm -rf "$tmp"
}
trap cleanup EXIT
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config XDG_DATA_HOME=$tmp/home/.local/share
export XDG_CACHE_HOME=$tmp/home/.cache XDG_RUNTIME_DIR=$tmp/run XDG_CONFIG_DIRS=$tmp/xdg
mkdir -p "$HOME" "$XDG_CONFIG_DIRS" && mkdir -m 700 "$XDG_RUNTIME_DIR"
export LANG=it_IT.UTF-8 LC_ALL=
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

# The class folder of the guide's examples. The status line shows the
# register's path: in a private mount namespace the sample sits at
# /srv/classe-4a/mirabolo, as in the guide; where namespaces are not allowed
# the picture shows the scratch folder instead.
mkdir -p "$tmp/srv/classe-4a/mirabolo"
"$generator" "$tmp/srv/classe-4a/mirabolo/registro.csv" 400 20 2026-12-04 "$tmp/srv/classe-4a/mirabolo/risposte.csv"
folder=/srv/classe-4a/mirabolo
unshare --map-root-user --mount true 2>/dev/null || folder=$tmp$folder
# A game typed as no pupil on the list is called: the window names it.
echo "2026-12-04;10:40:00;Mateo;7;5;12;0;tempo scaduto;" >>"$tmp/srv/classe-4a/mirabolo/registro.csv"
# The teacher's class list for the folder, as the guide shows it: named
# after the folder, each / a _ (a folder name holds no _ here). Noemi has not
# played yet.
lists=$XDG_CONFIG_HOME/mirabolo-registro/classi
mkdir -p "$lists"
cat >"$lists/$(printf '%s' "${folder#/}" | tr / _).txt" <<'LIST'
Classe: 4ª A
Soglia: 60%
Partite minime: 3

Giulia
Marco
Sofia
Luca
Aurora
Matteo
Alice
Leonardo
Ginevra
Tommaso
Emma
Riccardo
Giorgia
Edoardo
Beatrice
Lorenzo
Anna
Pietro
Chiara
Niccolò = Nicolò
Noemi
LIST
run=("$program" --periodo tutto --cartella-record "$folder")

mkdir -p "$out"
# A private screen of that size, the program on it, its window's id.
start() {
    stop
    rm -f "$tmp/xready" && mkfifo "$tmp/xready"
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$tmp/xready" 2>"$tmp/xvfb.log" &
    xvfb=$!
    read -r -t 20 display <"$tmp/xready" || { echo "make-pictures.sh: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=:$display
    if [[ $folder == /srv/* ]]; then
        # shellcheck disable=SC2016 # expanded by the inner shell
        unshare --map-root-user --mount sh -c 'mount --bind "$0" /srv && exec "$@"' "$tmp/srv" "${run[@]}" &
    else
        "${run[@]}" &
    fi
    pid=$!
    window=$(xdotool search --sync --onlyvisible --name '^Registro di Mirabolo' | head -1)
}
# The window once drawn (two captures in a row the same) as docs/immagini/NAME.
capture() {
    local previous='' sum try
    for ((try = 0; try < 40; ++try)); do
        import -window "$window" "$tmp/shot.png"
        sum=$(convert "$tmp/shot.png" rgb:- | md5sum)
        [[ $sum == "$previous" ]] && break
        previous=$sum
        sleep 0.25
    done
    ((try < 40)) || { echo "make-pictures.sh: the window never settled" >&2; exit 1; }
    # No time stamps in the file: the same window gives the same bytes.
    convert "$tmp/shot.png" -strip -define png:exclude-chunks=date,time "$out/$1"
    identify "$out/$1"
}
keys() {
    xdotool windowfocus --sync "$window" key --delay 50 "$@"
}

start 1280x900x24
capture registro.png

# What to go over: the tab opened with its access key, the pupils' table
# made shorter by its handle (as a teacher drags it, the screen has no room
# for both whole), then Emma, the weakest, chosen by typing her name.
start 1024x768x24
keys alt+r
xdotool mousemove --window "$window" 504 278 mousedown 1 mousemove --window "$window" 504 250 \
    mousemove --window "$window" 504 150 mouseup 1
capture ripassare-classe.png
keys alt+p Tab E m m a alt+u
capture ripassare-alunno.png
