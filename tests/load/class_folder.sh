#!/usr/bin/env bash
# Games of several accounts end at the same moment against one class folder
# (group-owned, setgid, 2775): the highest score stands with its holder, the
# register holds one whole line per game, every file stays the group's and
# nothing else is left. Then a sticky folder (1777) where another account
# owns the files: the store fails, says so, and both files stay as they were.
set -euo pipefail
worker=$1
[[ $(id -u) == 0 ]] && command -v setpriv >/dev/null || exit 77
games=24 group=29999 users=(29001 29002 29003)
scratch=$(mktemp -d) && trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch" && cd "$scratch"
cp "$worker" ./worker && worker=$PWD/worker # the build tree may sit where the other accounts cannot reach
fail() { echo "FAIL: $*" >&2; exit 1; }
as() { local uid=$1; shift; setpriv --reuid="$uid" --regid="$group" --clear-groups sh -c 'umask 077; exec "$@"' sh "$@"; }

mkdir class && chgrp "$group" class && chmod 2775 class
mkfifo ready go && chmod 666 ready go
exec 4<>ready # held open both ways, so the count below never sees an early end
for ((i = 1; i <= games; i++)); do
    as "${users[i % 3]}" sh -c 'echo >ready; : <go; exec "$@"' sh "$worker" class "Alunno $i" "$(((i * 7) % games + 1))" >"out.$i" &
done
head -c "$games" <&4 >/dev/null # every game is ready
start=$(date +%s%N)
exec 5>go # released together
wait
echo "$games games of ${#users[@]} accounts ended in $((($(date +%s%N) - start) / 1000000)) ms"
exec 4>&- 5>&-

[[ $(cat class/eqc.txt) == $'24\r' ]] || fail "record: $(cat -A class/eqc.txt)"
[[ $(cat class/neqc.txt) == $'Alunno 17\r' ]] || fail "holder: $(cat -A class/neqc.txt)"
[[ $(grep -c 'nuovo registrato' out.*| awk -F: '{s+=$2} END {print s}') -ge 1 ]] || fail "no game stored a record"
[[ $(grep -l ' registrato' out.* | wc -l) == "$games" ]] || fail "not every game registered: $(cat out.*)"
[[ $(head -1 class/registro.csv) == $'\xEF\xBB\xBFData;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record\r' ]] || fail header
lines=$(tail -n +2 class/registro.csv | grep -cE '^[0-9-]{10};[0-9:]{8};Alunno [0-9]+;[0-9]+;0;[0-9]+;0;tempo scaduto;(nuovo|)'$'\r$' || true)
[[ $lines == "$games" && $(wc -l <class/registro.csv) == $((games + 1)) ]] || fail "register: $(cat -A class/registro.csv)"
[[ $(tail -n +2 class/registro.csv | cut -d';' -f3 | sort -u | wc -l) == "$games" ]] || fail "a game missing or twice"
[[ $(ls -A class | tr '\n' ' ') == "eqc.txt neqc.txt registro.csv " ]] || fail "left behind: $(ls -A class)"
for f in class/*; do
    [[ $(stat -c '%a %g' "$f") == 66[04]" $group" ]] || fail "$f: $(stat -c '%A %G' "$f")"
done

mkdir sticky && chmod 1777 sticky
printf '3\r\n' >sticky/eqc.txt && printf 'Anna\r\n' >sticky/neqc.txt
cp sticky/eqc.txt eqc.before && cp sticky/neqc.txt neqc.before
chown "${users[0]}" sticky/* && chmod 666 sticky/*
[[ $(as "${users[1]}" "$worker" sticky Ugo 9) == "non salvato registrato" ]] || fail "sticky: not reported as not stored"
cmp sticky/eqc.txt eqc.before && cmp sticky/neqc.txt neqc.before || fail "sticky: record files changed"
[[ $(ls -A sticky | tr '\n' ' ') == "eqc.txt neqc.txt registro.csv " ]] || fail "sticky: left behind: $(ls -A sticky)"
echo "sticky folder: the record was not stored, and said so"
