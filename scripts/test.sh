#!/usr/bin/env bash
# Installs what is missing, checks the floors of the includes, builds, and runs every test: once
# in the default build and once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
scripts/check-layers.sh

jobs=$(nproc 2>/dev/null || echo 2)
for preset in default sanitize; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== $preset tests"
  ASAN_OPTIONS=detect_leaks=1 ctest --preset "$preset" -j "$jobs"
done
