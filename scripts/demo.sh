#!/usr/bin/env bash
# Builds the plug-ins and the reference host, starts the host with both plug-ins,
# prints the component list and saves a screenshot of the host window.
# Usage: scripts/demo.sh [--win32]   (default: the x86_64 build, which starts at once;
#        --win32 runs the shipped 32-bit build, about a minute per start under emulation)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=win64
[ "${1:-}" = "--win32" ] && preset=win32

scripts/setup.sh
source scripts/display.sh
start_display
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target vlhost vel_upkeep vel_porter

build=build/$preset
"$(pwd)/tools/wine-prefix" "$(pwd)/build/wineprefix"
out=build/demo
mkdir -p "$out"
rm -rf "$out/profile"
profile="Z:$(pwd | tr / '\\')\\build\\demo\\profile"

"$build/wine-run" "$build/bin/vlhost.exe" --profile "$profile" --stdout --list --wait 6000 --quit &
host=$!
# Wait for the window, then photograph it.
for _ in $(seq 600); do
  id=$(xwininfo -root -tree 2>/dev/null | awk '/"Vellora reference host"/ {print $1; exit}')
  [ -n "$id" ] && break
  sleep 0.2
done
sleep 2
if [ -n "${id:-}" ]; then
  import -window "$id" "$out/host-window.png"
  echo "Screenshot: $out/host-window.png"
else
  echo "The host window did not appear; no screenshot." >&2
fi
wait $host
