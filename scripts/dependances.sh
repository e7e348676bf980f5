#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need,
# only those missing; safe to run again.
set -euo pipefail

paquets=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev libgl-dev qt6-translations-l10n
  libsimpleini-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth
  fonts-dejavu-core fonts-urw-base35
  dpkg-dev file lintian
)

manquants=()
for p in "${paquets[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    manquants+=("$p")
  fi
done

if [ ${#manquants[@]} -eq 0 ]; then
  exit 0
fi

echo "Installation des paquets manquants : ${manquants[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${manquants[@]}"
