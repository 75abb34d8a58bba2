#!/usr/bin/env bash
# Benchmark (not a test): update checks per second on loopback. Serves a catalogue of
# COMPONENTS components and posts a check of all of them, prebuilt as the client
# builds it, with wrk for DURATION seconds over CONNECTIONS connections.
#   server/bench/check_rate.sh [BUILD_DIR]   (default build/server)
#   COMPONENTS=200 DURATION=10 CONNECTIONS=8 THREADS=2
# For figures without sanitizer overhead, use a build configured with
#   cmake --preset native -B build/server-bench -DVL_SANITIZE=OFF -DVL_FUZZ=OFF -DCMAKE_BUILD_TYPE=Release
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/server}
components=${COMPONENTS:-200}
duration=${DURATION:-10}
connections=${CONNECTIONS:-8}
threads=${THREADS:-2}
server="$build/bin/update-server"
maker="$build/bin/make_update_request"
[ -x "$server" ] && [ -x "$maker" ] || { echo "build $build first (update-server, make_update_request)" >&2; exit 1; }

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$maker" catalogue "$components" "$work/catalogue.json"
"$maker" body "$components" "$work/body.bin"
"$server" catalogue import --db "$work/catalogue.db" --from "$work/catalogue.json" 2>/dev/null
"$server" serve --db "$work/catalogue.db" --key server/dev-keys/development-only-update-key-private.pem \
  --public-url http://updates.tendwell.test/au --port 0 2>"$work/server.log" &
pid=$!
for _ in $(seq 100); do
  port=$(grep -o '127\.0\.0\.1:[0-9]*' "$work/server.log" | head -1 | cut -d: -f2 || true)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { cat "$work/server.log" >&2; exit 1; }

echo "request: $components components, $(stat -c %s "$work/body.bin") bytes posted"
BODY_FILE="$work/body.bin" wrk -t"$threads" -c"$connections" -d"${duration}s" --latency \
  -s server/bench/post_body.lua "http://127.0.0.1:$port/au"
echo "answers logged: $(grep -c '"status":200' "$work/server.log"), refusals: $(grep -c '"status":[45]' "$work/server.log" || true)"
