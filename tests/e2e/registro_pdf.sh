#!/bin/sh
# The report written with no display, as a scheduled job would; a register
# that is not there gives a message and no report.
#     registro_pdf.sh <mirabolo-registro>
set -eu
program=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf 'Data;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record\n2026-12-07;09:12;Zoe;9;1;10;0;uscita;\n' \
    >"$dir/registro.csv"
# As cron starts it: no display, no session, no regional settings.
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR LC_ALL=C "$program" "$@"; }

# Nothing on the error stream, or cron would mail the teacher every week.
run --periodo tutto --pdf "$dir/resoconto.pdf" "$dir/registro.csv" 2>"$dir/err"
test ! -s "$dir/err"
pdftotext "$dir/resoconto.pdf" - | grep -q 'Precisione: 90,0%'

# A pupil's games over the new year fill columns on several pages: each
# column starts under its year, repeated when it goes on from the last one.
{
    echo 'Data;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record'
    for i in $(seq 0 99); do
        day=$(date -d "2025-12-01 +$i days" +%F)
        for time in 08:30 08:50 09:10; do echo "$day;$time;Ada;9;1;10;0;tempo scaduto;"; done
    done
} >"$dir/anni.csv"
run --periodo tutto --pdf "$dir/anni.pdf" "$dir/anni.csv"
pdftotext -layout "$dir/anni.pdf" - |
    awk '/Data.*Data/ { n++; getline; if ($0 !~ /^ *202[56] +202[56] *$/) bad = 1 } END { exit !(n > 1 && !bad) }'
# Every page is numbered out of all of them, and a page of her games away
# from her section's start still says whose they are, at its top.
pages=$(pdfinfo "$dir/anni.pdf" | awk '/^Pages:/ { print $2 }')
pdftotext -layout "$dir/anni.pdf" - | awk -v pages="$pages" 'BEGIN { RS = "\f" } NR <= pages {
        if (index($0, "Pagina " NR " di " pages "\n") == 0) bad = 1
        if ($0 ~ /(^|\n) *Data +Ora/ && $0 !~ /Partite: 300 · Minuti: 4.500 · Esatte/ && $0 !~ /^[ \n]*Ada \(continua\)\n/) bad = 1
    } END { exit !(pages > 2 && !bad) }'

# A pupil's sheet is one A4 page: with more games than fit, the most recent
# and a line on how many are left out. With a class list given, a sheet for
# each pupil on it, one page each, in order of name, those who did not play
# too; the page of one named by another spelling is theirs.
printf 'Classe: 4ª A\nAda = Adina\nAbele\n' >"$dir/elenco.txt"
run --periodo tutto --alunno adina --classe "$dir/elenco.txt" --pdf "$dir/ada.pdf" "$dir/anni.csv"
test "$(pdfinfo "$dir/ada.pdf" | awk '/^Pages:/ { print $2 }')" -eq 1
pdftotext "$dir/ada.pdf" - >"$dir/ada.txt"
grep -q '^Scheda di Ada$' "$dir/ada.txt"
grep -q '^Classe: 4ª A · Periodo: Tutto$' "$dir/ada.txt"
grep -q 'Partite: 300 · Minuti: 4.500 · Esatte: 2.700 · Errate: 300 · Precisione: 90,0%' "$dir/ada.txt"
grep -Eq '^Qui le ultime [0-9]+ partite del periodo: le [0-9]+ precedenti sono nel resoconto della classe\.$' \
    "$dir/ada.txt"
grep -q 'Pagina 1 di 1' "$dir/ada.txt"
run --periodo tutto --schede --classe "$dir/elenco.txt" --pdf "$dir/schede.pdf" "$dir/anni.csv"
pdftotext "$dir/schede.pdf" - | awk 'BEGIN { RS = "\f" } /Scheda di/ { n++; if (index($0, "Pagina " n " di 2") == 0) bad = 1 }
    n == 1 && !/Scheda di Abele\n/ { bad = 1 } END { exit !(n == 2 && !bad) }'
pdftotext "$dir/schede.pdf" - | grep -q '^Nessuna partita nel periodo\.$'
if run --periodo tutto --alunno Zoe --pdf "$dir/zoe.pdf" "$dir/anni.csv" 2>"$dir/err"; then exit 1; fi
test ! -e "$dir/zoe.pdf"
grep -q 'nessun alunno "Zoe"' "$dir/err"

# A pupil's link at the report's name: the report takes the name, the file
# the link pointed to keeps its bytes. A link at the register's name is not
# read: no report of what it points to.
mkdir "$dir/maestra"
echo mia >"$dir/maestra/relazione.odt"
ln -s "$dir/maestra/relazione.odt" "$dir/registro-4a.pdf"
run --pdf "$dir/registro-4a.pdf" "$dir/registro.csv"
test "$(cat "$dir/maestra/relazione.odt")" = mia && test ! -L "$dir/registro-4a.pdf"
ln -s "$dir/anni.csv" "$dir/collegato.csv"
if run --pdf "$dir/collegato.pdf" "$dir/collegato.csv" 2>"$dir/err"; then exit 1; fi
test ! -e "$dir/collegato.pdf"
grep -q 'collegamento' "$dir/err"

if run --pdf "$dir/nessuno.pdf" "$dir/manca.csv" 2>"$dir/err"; then exit 1; fi
test ! -e "$dir/nessuno.pdf"
grep -q '^mirabolo-registro: ' "$dir/err"

if run "$dir/registro.csv" 2>"$dir/err"; then exit 1; fi
test "$(wc -l <"$dir/err")" -eq 1

# The help is Italian, Qt's own options too.
run --help >"$dir/help"
grep -q -- '--help  *Mostra' "$dir/help"
! grep -q 'Displays' "$dir/help"

# Each period by its option; whatever today is, the heading names it.
for pair in oggi:Oggi settimana:'Questa settimana' mese:'Questo mese' anno:'Anno scolastico' tutto:Tutto \
    quadrimestre1:'Primo quadrimestre' quadrimestre2:'Secondo quadrimestre'; do
    run --periodo "${pair%%:*}" --pdf "$dir/periodo.pdf" "$dir/registro.csv"
    pdftotext "$dir/periodo.pdf" - | grep -q "${pair#*:}"
done
if run --periodo trimestre --pdf "$dir/periodo.pdf" "$dir/registro.csv" 2>"$dir/err"; then exit 1; fi
grep -q 'periodo sconosciuto' "$dir/err"
run --dal 01/02/2027 --al 10/06/2027 --pdf "$dir/periodo.pdf" "$dir/registro.csv"
pdftotext "$dir/periodo.pdf" - | grep -q 'Periodo: Dal 01/02/2027 al 10/06/2027'
