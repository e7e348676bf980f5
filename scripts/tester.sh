#!/usr/bin/env bash
# Checks the layers of src/, builds everything with warnings as errors and
# runs every test, fuzzes the parser and the compensation for a minute each,
# runs the thread tests under ThreadSanitizer, then the core tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
"$racine/scripts/dependances.sh"
jobs="$(nproc)"
"$racine/scripts/couches.sh"

cmake -S "$racine" -B "$racine/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIRMAK_WERROR=ON >/dev/null
cmake --build "$racine/build" -j "$jobs"
(cd "$racine/build" && ctest --output-on-failure -j "$jobs")

# One-minute fuzzing runs under the sanitizers; any finding stops the
# script, its reproducer left in build-fuzz/.
cmake -S "$racine" -B "$racine/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DVIRMAK_WERROR=ON -DVIRMAK_SANITIZE=ON -DVIRMAK_CORE_ONLY=ON \
  -DVIRMAK_BENCH=OFF -DVIRMAK_FUZZ=ON >/dev/null
cmake --build "$racine/build-fuzz" --target fuzz_analyse_ligne fuzz_correction -j "$jobs"
corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT

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
