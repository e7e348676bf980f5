#!/usr/bin/env bash
# Times `virmak-cli analyse` as a whole process (start-up, reading, analysis,
# listing) on the benchmarks' 30 000-line program, with a configuration
# folder that holds only a table large enough for it. Timings are measured here, never asserted in tests.
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

if command -v hyperfine >/dev/null; then
  hyperfine --warmup 3 --runs "$n" --output=null "${cli[*]}"
  exit 0
fi
temps=()
for ((i = 0; i < n; i++)); do
  debut=$(date +%s%N)
  "${cli[@]}" >/dev/null
  fin=$(date +%s%N)
  temps+=($(((fin - debut) / 1000)))
done
printf '%s\n' "${temps[@]}" | sort -n | awk -v n="$n" '
  { t[NR] = $1; somme += $1 }
  END { printf "virmak-cli analyse, %d lancements : minimum %.1f ms, médiane %.1f ms, moyenne %.1f ms\n",
        n, t[1] / 1000, t[int((n + 1) / 2)] / 1000, somme / n / 1000 }'
