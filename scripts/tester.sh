#!/usr/bin/env bash
# Checks the layers of src/, builds everything with warnings as errors and
# runs every test (the layout tests also under two font sets, DejaVu alone
# and DejaVu with the URW fonts: see tests/CMakeLists.txt), compares
# virmak-cli's outputs with a pinned build's, fuzzes the parser and the
# compensation for a minute each, runs the thread tests under
# ThreadSanitizer, then the core tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer. After the first
# test pass it builds the Debian package, has lintian check it when lintian
# is there, and starts the program it installs.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
"$racine/scripts/dependances.sh"
jobs="$(nproc)"
"$racine/scripts/couches.sh"

cmake -S "$racine" -B "$racine/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIRMAK_WERROR=ON >/dev/null
cmake --build "$racine/build" -j "$jobs"
(cd "$racine/build" && ctest --output-on-failure -j "$jobs")
# virmak-cli's outputs, byte for byte, against those of a pinned build.
"$racine/scripts/identite_cli.sh" "$racine/build"

temporaires=()
trap 'rm -rf "${temporaires[@]}"' EXIT

# The Debian package, unpacked in a scratch folder: its program must start
# from there and answer, its help and its desktop entry must be in it.
rm -f "$racine"/build/virmak_*.deb
(cd "$racine/build" && cpack -G DEB >/dev/null)
paquet="$(echo "$racine"/build/virmak_*.deb)"
dpkg-deb -c "$paquet"
# Debian's own checks: no error and no warning (the French words it takes for
# misspellings, and the static virmak-cli it takes for a shared library, are
# overridden in the package).
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning "$paquet"
fi
deballe="$(mktemp -d)"
temporaires+=("$deballe")
dpkg-deb -x "$paquet" "$deballe"
# No display at all: --version answers before any window system.
version="$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$deballe/usr/bin/virmak" --version)"
attendue="$(dpkg-deb -f "$paquet" Version)"
grep -qF "$attendue" <<<"$version" || { echo "virmak --version installé : « $version »" >&2; exit 1; }
"$deballe/usr/bin/virmak-cli" --version >/dev/null
# The reference and the probing of the installed program, end to end on the
# virtual machine: switches 5 mm either side of zero, a plate 2 mm below.
machine="$(mktemp -d)"
temporaires+=("$machine")
printf '%s\r\n' '[PORT]' 'PortLPT=1' '[ENTREES]' 'CBInItem(0)=1' 'CBInItem(1)=2' 'CBInItem(2)=3' \
  'CBInItem(4)=5' 'InEnable=184' '[SORTIES]' 'CBOutItem(0)=1' 'CBOutItem(1)=2' 'CBOutItem(2)=3' \
  'CBOutItem(3)=4' 'CBOutItem(4)=5' 'CBOutItem(5)=6' 'OutEnable=63' '[BOOLEAN]' 'Simulation=0' 'Debogage=0' \
  '[MACHINE VIRTUELLE]' 'Course(0)=5' 'Course(1)=5' 'Course(2)=20' 'Cale=-2' >"$machine/CncParam.Ini"
"$deballe/usr/bin/virmak-cli" --rep "$machine" origine | tee "$machine/origine.txt"
grep -qx 'PositionX=-5.000' "$machine/origine.txt" || { echo "virmak-cli origine : X n'est pas à -5 mm." >&2; exit 1; }
"$deballe/usr/bin/virmak-cli" --rep "$machine" palpage | tee "$machine/palpage.txt"
grep -qx 'LectureZ=5.000' "$machine/palpage.txt" || { echo "virmak-cli palpage : Z n'est pas à 5 mm." >&2; exit 1; }
for f in usr/share/virmak/aide/index.html usr/share/virmak/aide/1001.html usr/share/applications/virmak.desktop \
  usr/share/doc/virmak/copyright usr/share/man/man1/virmak.1.gz usr/share/virmak/exemples/poche-rectangulaire.iso \
  usr/share/icons/hicolor/scalable/apps/virmak.svg usr/share/mime/packages/virmak.xml; do
  [ -f "$deballe/$f" ] || { echo "Le paquet n'a pas $f." >&2; exit 1; }
done
echo "Paquet : $paquet ($version)"

# One-minute fuzzing runs under the sanitizers; any finding stops the
# script, its reproducer left in build-fuzz/.
cmake -S "$racine" -B "$racine/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DVIRMAK_WERROR=ON -DVIRMAK_SANITIZE=ON -DVIRMAK_CORE_ONLY=ON \
  -DVIRMAK_BENCH=OFF -DVIRMAK_FUZZ=ON >/dev/null
cmake --build "$racine/build-fuzz" --target fuzz_analyse_ligne fuzz_correction -j "$jobs"
corpus="$(mktemp -d)"
temporaires+=("$corpus")

# fuzzer CIBLE MESSAGE GRAINES...
fuzzer() {
  local cible="$1" message="$2"
  shift 2
  mkdir -p "$corpus/$cible"
  if ! "$racine/build-fuzz/fuzz/$cible" -max_total_time=60 -timeout=10 \
    -dict="$racine/fuzz/analyse_ligne.dict" -artifact_prefix="$racine/build-fuzz/" \
    "$corpus/$cible" "$@" >"$racine/build-fuzz/$cible.log" 2>&1; then
    tail -n 60 "$racine/build-fuzz/$cible.log"
    echo "$message (voir build-fuzz/)." >&2
    exit 1
  fi
  tail -n 1 "$racine/build-fuzz/$cible.log"
}
fuzzer fuzz_analyse_ligne "Le fuzzing de l'analyse de ligne a trouvé un défaut" "$racine/fuzz/graines"
fuzzer fuzz_correction "Le fuzzing de la correction d'outil a trouvé un défaut" \
  "$racine/fuzz/graines_correction" "$racine/fuzz/graines"

# The queue and the shared inputs between the two threads under
# ThreadSanitizer.
cmake -S "$racine" -B "$racine/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DVIRMAK_WERROR=ON -DVIRMAK_TSAN=ON -DVIRMAK_CORE_ONLY=ON -DVIRMAK_BENCH=OFF >/dev/null
cmake --build "$racine/build-tsan" --target tests_fil -j "$jobs"
(cd "$racine/build-tsan" && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -L fil)

cmake -S "$racine" -B "$racine/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVIRMAK_WERROR=ON \
  -DVIRMAK_SANITIZE=ON -DVIRMAK_CORE_ONLY=ON -DVIRMAK_BENCH=OFF >/dev/null
cmake --build "$racine/build-asan" --target tests_core -j "$jobs"
(cd "$racine/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$jobs" -L core)
