#!/usr/bin/env bash
# Sets up what is missing, builds all three targets and runs every test:
#   native  portable code with sanitizers, fuzz targets (short runs)
#   win64   the full Windows test set under wine64
#   win32   the shipped 32-bit build: binary checks and a smoke suite under emulated Wine
# Usage: scripts/test.sh [preset ...]   (default: native win64 win32)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
source scripts/display.sh
start_display

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native win64 win32)
status=0
for preset in "${presets[@]}"; do
  echo "=== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "=== $preset: test"
  start=$(date +%s)
  ctest --preset "$preset" -j2 --timeout 1200 || status=1
  echo "=== $preset: tests took $(( $(date +%s) - start )) s"
done
exit $status
