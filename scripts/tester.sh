#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test, then runs
# the core tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
"$racine/scripts/dependances.sh"
jobs="$(nproc)"

cmake -S "$racine" -B "$racine/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIRMAK_WERROR=ON >/dev/null
cmake --build "$racine/build" -j "$jobs"
(cd "$racine/build" && ctest --output-on-failure -j "$jobs")

cmake -S "$racine" -B "$racine/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVIRMAK_WERROR=ON \
  -DVIRMAK_SANITIZE=ON -DVIRMAK_CORE_ONLY=ON -DVIRMAK_BENCH=OFF >/dev/null
cmake --build "$racine/build-asan" --target tests_core -j "$jobs"
(cd "$racine/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$jobs" -L core)

# A one-minute fuzzing run of the line parser under the same sanitizers; any
# finding stops the script, its reproducer left in build-fuzz/.
cmake -S "$racine" -B "$racine/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DVIRMAK_WERROR=ON -DVIRMAK_SANITIZE=ON -DVIRMAK_CORE_ONLY=ON \
  -DVIRMAK_BENCH=OFF -DVIRMAK_FUZZ=ON >/dev/null
cmake --build "$racine/build-fuzz" --target fuzz_analyse_ligne fuzz_correction -j "$jobs"
corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
if ! "$racine/build-fuzz/fuzz/fuzz_analyse_ligne" -max_total_time=60 -timeout=10 \
  -dict="$racine/fuzz/analyse_ligne.dict" -artifact_prefix="$racine/build-fuzz/" \
  "$corpus" "$racine/fuzz/graines" >"$racine/build-fuzz/fuzz_analyse_ligne.log" 2>&1; then
  tail -n 60 "$racine/build-fuzz/fuzz_analyse_ligne.log"
  echo "Le fuzzing de l'analyse de ligne a trouvé un défaut (voir build-fuzz/)." >&2
  exit 1
fi
tail -n 1 "$racine/build-fuzz/fuzz_analyse_ligne.log"

# The same for analysis then compensation of whole programs.
corpus_correction="$(mktemp -d)"
trap 'rm -rf "$corpus" "$corpus_correction"' EXIT
if ! "$racine/build-fuzz/fuzz/fuzz_correction" -max_total_time=60 -timeout=10 \
  -dict="$racine/fuzz/analyse_ligne.dict" -artifact_prefix="$racine/build-fuzz/" \
  "$corpus_correction" "$racine/fuzz/graines_correction" "$racine/fuzz/graines" \
  >"$racine/build-fuzz/fuzz_correction.log" 2>&1; then
  tail -n 60 "$racine/build-fuzz/fuzz_correction.log"
  echo "Le fuzzing de la correction d'outil a trouvé un défaut (voir build-fuzz/)." >&2
  exit 1
fi
tail -n 1 "$racine/build-fuzz/fuzz_correction.log"
