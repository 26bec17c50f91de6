#!/usr/bin/env bash
# Games of several accounts end at the same moment against one class folder
# (group-owned, setgid, 2770): the highest score stands with its holder, the
# register holds one whole line per game, every file stays the group's and
# nothing else is left, though a classmate's own file stood at the lock's name.
# Then the same while another account keeps turning every name of the folder
# into a link to a private file of a player: the file keeps its bytes and mode
# and every game still ends. Then a sticky folder (1777) where another account
# owns the files: the store fails, says so, and both files stay as they were.
set -euo pipefail
worker=$1
[[ $(id -u) == 0 ]] && command -v setpriv >/dev/null || exit 77
games=24 group=29999 users=(29001 29002 29003) attacker=29009
scratch=$(mktemp -d) && trap 'rm -f "$scratch/swapping"; wait; rm -rf "$scratch"' EXIT
chmod 755 "$scratch" && cd "$scratch"
cp "$worker" ./worker && worker=$PWD/worker # the build tree may sit where the other accounts cannot reach
fail() { echo "FAIL: $*" >&2; exit 1; }
as() { local uid=$1; shift; setpriv --reuid="$uid" --regid="$group" --clear-groups sh -c 'umask 077; exec "$@"' sh "$@"; }

play() { # all games released together
    rm -f ready go out.* && mkfifo ready go && chmod 666 ready go
    exec 4<>ready # held open both ways, so the count below never sees an early end
    for ((i = 1; i <= games; i++)); do
        as "${users[i % 3]}" sh -c 'echo >ready; : <go; exec "$@"' sh "$worker" "$1" "Alunno $i" "$(((i * 7) % games + 1))" >"out.$i" &
        pids+=($!)
    done
    head -c "$games" <&4 >/dev/null # every game is ready
    start=$(date +%s%N)
    exec 5>go
    wait "${pids[@]}" && pids=()
    echo "$games games of ${#users[@]} accounts ended in $((($(date +%s%N) - start) / 1000000)) ms"
    exec 4>&- 5>&-
}

mkdir class && chgrp "$group" class && chmod 2770 class
as "$attacker" sh -c 'umask 022; touch class/eqc.lock'
play class

[[ $(cat class/eqc.txt) == $'24\r' ]] || fail "record: $(cat -A class/eqc.txt)"
[[ $(cat class/neqc.txt) == $'Alunno 17\r' ]] || fail "holder: $(cat -A class/neqc.txt)"
[[ $(grep -c 'nuovo registrato' out.*| awk -F: '{s+=$2} END {print s}') -ge 1 ]] || fail "no game stored a record"
[[ $(grep -l ' registrato' out.* | wc -l) == "$games" ]] || fail "not every game registered: $(cat out.*)"
[[ $(head -1 class/registro.csv) == $'\xEF\xBB\xBFData;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record\r' ]] || fail header
lines=$(tail -n +2 class/registro.csv | grep -cE '^[0-9-]{10};[0-9:]{8};Alunno [0-9]+;[0-9]+;0;[0-9]+;0;tempo scaduto;(nuovo|)'$'\r$' || true)
[[ $lines == "$games" && $(wc -l <class/registro.csv) == $((games + 1)) ]] || fail "register: $(cat -A class/registro.csv)"
[[ $(tail -n +2 class/registro.csv | cut -d';' -f3 | sort -u | wc -l) == "$games" ]] || fail "a game missing or twice"
[[ $(ls -A class | tr '\n' ' ') == "eqc.lock eqc.txt neqc.txt registro.csv " ]] || fail "left behind: $(ls -A class)"
for f in class/*; do
    [[ $(stat -c '%a %g' "$f") == "660 $group" ]] || fail "$f: $(stat -c '%A %G' "$f")"
done

mkdir -m 700 victim && echo segreto >victim/privato && chmod 600 victim/privato && chown -R "${users[0]}" victim
mkdir open && touch open/{eqc.txt,neqc.txt,registro.csv} && chgrp -R "$group" open && chmod 2770 open && chmod 660 open/*
touch swapping
as "$attacker" sh -c 'cd open; while [ -e ../swapping ]; do ln -sfn ../victim/privato .l && mv -T .l eqc.lock
    for n in eqc.txt neqc.txt registro.csv; do # the real file aside for a moment, a link in its place
        mv -T $n .k; ln -sfn ../victim/privato .l && mv -T .l $n; mv -T .k $n; done; done 2>/dev/null' &
play open
rm swapping && wait
[[ $(stat -c '%a %u' victim/privato victim | tr '\n' ' ') == "600 ${users[0]} 700 ${users[0]} " ]] || fail "victim: $(ls -la victim)"
[[ $(cat victim/privato) == segreto ]] || fail "victim's file written"
[[ $(cat out.* | wc -l) == "$games" ]] || fail "a game did not end"
[[ -z $(ls -A open | grep -vE '^(eqc\.lock|eqc\.txt|neqc\.txt|registro\.csv|\.k|\.l)$') ]] || fail "left behind: $(ls -A open)"
echo "links swapped in: $(sort out.* | uniq -c | tr -s ' \n' ' ')"

mkdir sticky && chmod 1777 sticky
printf '3\r\n' >sticky/eqc.txt && printf 'Anna\r\n' >sticky/neqc.txt
cp sticky/eqc.txt eqc.before && cp sticky/neqc.txt neqc.before
chown "${users[0]}" sticky/* && chmod 666 sticky/*
[[ $(as "${users[1]}" "$worker" sticky Ugo 9) == "non salvato registrato" ]] || fail "sticky: not reported as not stored"
cmp sticky/eqc.txt eqc.before && cmp sticky/neqc.txt neqc.before || fail "sticky: record files changed"
[[ $(ls -A sticky | tr '\n' ' ') == "eqc.lock eqc.txt neqc.txt registro.csv " ]] || fail "sticky: left behind: $(ls -A sticky)"
echo "sticky folder: the record was not stored, and said so"
