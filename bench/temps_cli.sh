#!/usr/bin/env bash
# Times `virmak-cli analyse` as a whole process (start-up, reading, analysis,
# listing) on the benchmarks' 30 000-line program, with a configuration
# folder that holds only a table large enough for it; and, in the same run,
# LinuxCNC's `rs274 -g` on the same moves when it is installed (Debian's
# linuxcnc-uspace): absolute arc centres (G90.1), G21 for our G71, tools of
# diameter 0 as ours are. Then the peak memory of each, with GNU time.
# Timings are measured here, never asserted in tests.
# Usage: bench/temps_cli.sh [DOSSIER_DE_CONSTRUCTION] [NOMBRE_DE_LANCEMENTS]
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$racine/build}"
n="${2:-50}"
cmake --build "$build" --target virmak-cli ecrire_programme >/dev/null
travail="$(mktemp -d)"
trap 'rm -rf "$travail"' EXIT
mkdir "$travail/config"
printf '[GCODES]\r\nMaxLProg=65535\r\n' >"$travail/config/CncParam.Ini"
"$build/bench/ecrire_programme" "$travail/programme.iso"
cli=("$build/virmak-cli" --rep "$travail/config" analyse "$travail/programme.iso")
"${cli[@]}" >/dev/null # warm the caches once

autre=()
if command -v rs274 >/dev/null; then
  sed -e '1s/^%.*/G90.1/' -e 's/G71 /G21 /' "$travail/programme.iso" >"$travail/programme.ngc"
  for t in 1 2 3 4 5 6 7 8 9; do echo "T$t P$t D0 Z0"; done >"$travail/outils.tbl"
  autre=(rs274 -g -t "$travail/outils.tbl" "$travail/programme.ngc" /dev/null)
  "${autre[@]}" </dev/null >/dev/null 2>&1
fi

if command -v hyperfine >/dev/null; then
  commandes=("${cli[*]}")
  [ ${#autre[@]} -eq 0 ] || commandes+=("${autre[*]}")
  hyperfine -N --warmup 3 --runs "$n" --output=null --export-json "$travail/temps.json" "${commandes[@]}"
  grep -o '"median": *[0-9.e-]*' "$travail/temps.json" | awk -v noms="virmak-cli analyse|rs274 -g" '
    BEGIN { split(noms, nom, "|") }
    { printf "%s : médiane %.1f ms\n", nom[NR], $2 * 1000 }'
else
  # mediane NOM COMMANDE...
  mediane() {
    local nom="$1" temps=() i debut fin
    shift
    for ((i = 0; i < n; i++)); do
      debut=$(date +%s%N)
      "$@" </dev/null >/dev/null
      fin=$(date +%s%N)
      temps+=($(((fin - debut) / 1000)))
    done
    printf '%s\n' "${temps[@]}" | sort -n | awk -v n="$n" -v nom="$nom" '
      { t[NR] = $1; somme += $1 }
      END { printf "%s, %d lancements : minimum %.1f ms, médiane %.1f ms, moyenne %.1f ms\n",
            nom, n, t[1] / 1000, t[int((n + 1) / 2)] / 1000, somme / n / 1000 }'
  }
  mediane "virmak-cli analyse" "${cli[@]}"
  [ ${#autre[@]} -eq 0 ] || mediane "rs274 -g" "${autre[@]}"
fi

if [ -x /usr/bin/time ]; then
  /usr/bin/time -o "$travail/memoire" -f "virmak-cli analyse : mémoire maximale %M Ko" "${cli[@]}" >/dev/null
  cat "$travail/memoire"
  if [ ${#autre[@]} -gt 0 ]; then
    /usr/bin/time -o "$travail/memoire" -f "rs274 -g : mémoire maximale %M Ko" "${autre[@]}" </dev/null >/dev/null 2>&1
    cat "$travail/memoire"
  fi
fi
