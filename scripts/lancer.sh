#!/usr/bin/env bash
# Builds the desktop program and starts it; arguments go to the program
# (for instance --rep DOSSIER).
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
"$racine/scripts/dependances.sh"
cmake -S "$racine" -B "$racine/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$racine/build" --target virmak virmak-cli -j "$(nproc)"
exec "$racine/build/virmak" "$@"
