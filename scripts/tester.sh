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
