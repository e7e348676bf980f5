#!/usr/bin/env bash
# Checks that virmak-cli prints, byte for byte, what a pinned build printed
# on 1 000 generated programs and on the benchmarks' realistic program
# (analyse, programme, parcours, and execute with its --pas file): exit
# status, standard output, standard error and steps file, as digests. The
# expected digests are in tests/identite/empreintes_cli.txt, whose first line
# names the commit whose build made them.
#
# Usage: scripts/identite_cli.sh [DOSSIER_DE_CONSTRUCTION]
#        scripts/identite_cli.sh --reference COMMIT [DOSSIER_DE_CONSTRUCTION]
# The second form builds virmak-cli as it was at COMMIT in a scratch folder
# and rewrites the expected digests from it: for a change of output made on
# purpose, once the new outputs have been checked.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
attendu="$racine/tests/identite/empreintes_cli.txt"
reference=""
if [ "${1:-}" = "--reference" ]; then
  reference="${2:?--reference demande un commit}"
  shift 2
fi
build="${1:-$racine/build}"
cmake --build "$build" --target empreintes_cli virmak-cli >/dev/null
travail="$(mktemp -d)"
trap 'rm -rf "$travail"' EXIT

if [ -n "$reference" ]; then
  commit="$(git -C "$racine" rev-parse --verify "$reference^{commit}")"
  mkdir "$travail/source"
  git -C "$racine" archive "$commit" | tar -x -C "$travail/source"
  lanceur=()
  if command -v ccache >/dev/null; then
    lanceur=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$travail/source" -B "$travail/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVIRMAK_CORE_ONLY=ON -DVIRMAK_BENCH=OFF "${lanceur[@]}" >/dev/null
  cmake --build "$travail/build" --target virmak-cli >/dev/null
  mkdir "$travail/programmes"
  {
    echo "# virmak-cli de $commit"
    "$build/tests/empreintes_cli" "$travail/build/virmak-cli" "$travail/programmes"
  } >"$attendu.nouveau"
  mv "$attendu.nouveau" "$attendu"
  echo "Empreintes de $commit écrites dans $attendu."
  exit 0
fi

# Two runs side by side, merged in the order of the expected file (by
# program name, each program's commands in their order).
pids=()
for partie in 0 1; do
  mkdir "$travail/programmes$partie"
  "$build/tests/empreintes_cli" "$build/virmak-cli" "$travail/programmes$partie" "$partie/2" \
    >"$travail/partie$partie.txt" &
  pids+=($!)
done
for pid in "${pids[@]}"; do
  wait "$pid"
done
LC_ALL=C sort -s -k1,1 "$travail/partie0.txt" "$travail/partie1.txt" >"$travail/obtenu.txt"
if ! diff <(grep -v '^#' "$attendu") "$travail/obtenu.txt" >"$travail/ecarts.txt"; then
  head -n 40 "$travail/ecarts.txt"
  echo "virmak-cli ne donne plus les sorties de $(head -n 1 "$attendu" | sed 's/^# //') (lignes < attendues," \
    "> obtenues ; nom, configuration, commande, statut, empreintes/tailles de la sortie, des erreurs" \
    "et du fichier --pas). Voir scripts/identite_cli.sh." >&2
  exit 1
fi
echo "virmak-cli : sorties identiques sur $(grep -vc '^#' "$attendu") commandes."
