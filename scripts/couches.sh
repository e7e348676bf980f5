#!/usr/bin/env bash
# The folders of src/ are layers: a file includes only headers of its own
# folder and of the folders before it, and only ui/ and app/ include Qt.
# Prints each offending include and exits 1 when there is any.
# Usage: scripts/couches.sh [RACINE_DES_SOURCES]   (default: src/ of this repository)
set -euo pipefail
sources="${1:-$(cd "$(dirname "$0")/.." && pwd)/src}"
couches=(foundation iso machine apercu exec pupitre ui app)

rang() {
  local i
  for i in "${!couches[@]}"; do
    if [ "${couches[$i]}" = "$1" ]; then
      echo "$i"
      return
    fi
  done
  echo -1
}

fautes=0
while IFS= read -r -d '' fichier; do
  relatif="${fichier#"$sources"/}"
  dossier="${relatif%%/*}"
  propre="$(rang "$dossier")"
  if [ "$propre" -lt 0 ]; then
    echo "$relatif : dossier hors des couches connues (${couches[*]})"
    fautes=1
    continue
  fi
  while IFS= read -r ligne; do
    numero="${ligne%%:*}"
    texte="${ligne#*:}"
    if [[ "$texte" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([a-z_]+)/ ]]; then
      cible="${BASH_REMATCH[1]}"
      autre="$(rang "$cible")"
      if [ "$autre" -lt 0 ] || [ "$autre" -gt "$propre" ]; then
        echo "$relatif:$numero : « $dossier » ne peut pas inclure « $cible » (couche plus haute)"
        fautes=1
      fi
    elif [[ "$texte" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<Q ]] \
      && [ "$dossier" != ui ] && [ "$dossier" != app ]; then
      echo "$relatif:$numero : « $dossier » ne doit pas inclure Qt"
      fautes=1
    fi
  done < <(grep -n '#[[:space:]]*include' "$fichier" || true)
done < <(find "$sources" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)

if [ "$fautes" -ne 0 ]; then
  echo "Vérification des couches : échec." >&2
  exit 1
fi
echo "Vérification des couches : conforme."
