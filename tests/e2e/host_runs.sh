#!/usr/bin/env bash
# vlhost.exe as a user starts it: lists the host's entries and both components, runs
# the automatic update check that is due against the real update server (signature
# checked with CryptoAPI), and a stored non-default configuration survives the run
# byte for byte.
set -uo pipefail
# A fifth argument "no-check" leaves the update check out (see tests/win/CMakeLists.txt).
wine_run=$1 bin=$2 server=$3 work=$4 mode=${5:-check}
rm -rf "$work"; mkdir -p "$work/profile/configuration"
winepath_of() { echo "Z:${1//\//\\}"; }

# Both components are outdated; the hidden Send to Device update stays hidden, and the
# Tendwell update would be listed, so the check time does not move.
cat >"$work/catalogue.json" <<'JSON'
{"components":[{"fileName":"vel_upkeep.dll","name":"Tendwell","version":"2"},
{"fileName":"vel_porter.dll","name":"Send to Device","version":"1.2"}]}
JSON
"$server" catalogue import --db "$work/catalogue.db" --from "$work/catalogue.json" >/dev/null || exit 1
"$server" serve --db "$work/catalogue.db" --key "$(dirname "$0")/../../server/dev-keys/development-only-update-key-private.pem" \
  --public-url http://updates.tendwell.test/au --port 0 2>"$work/server.log" &
server_pid=$!
trap 'kill $server_pid 2>/dev/null' EXIT
for _ in $(seq 50); do grep -q listening "$work/server.log" && break; sleep 0.1; done
port=$(sed -n 's/.*"detail":"127.0.0.1:\([0-9]*\),.*/\1/p' "$work/server.log" | head -1)

# The update notifier's variables, last defined first: notice off, consent 0, hidden
# {vel_porter.dll: 1.2}, last check time (long ago), interval 48 hours.
stream="$work/profile/configuration/vel_upkeep.dll.cfg"
printf '\xff\xdb\x44\x8a\x73\xf1\x31\x4c\x81\x36\x92\xea\x4c\x9c\xdf\xaa\x01\x00\x00\x00\x01' >"$stream"
printf '\x34\xc4\xcf\x89\xfb\xe4\x07\x47\x93\xec\xe8\x68\xd2\xf1\x61\x4a\x04\x00\x00\x00\x00\x00\x00\x00' >>"$stream"
printf '\x4f\x0f\xb5\x1f\xd4\x1b\x01\x4f\xb0\x65\xd2\x27\xf6\x7f\xda\x62\x1d\x00\x00\x00' >>"$stream"
printf '\x01\x00\x00\x00\x0e\x00\x00\x00vel_porter.dll\x03\x00\x00\x001.2' >>"$stream"
printf '\xa9\x74\x5f\xb4\x65\xa9\xe6\x41\x8e\x81\x00\xb2\x11\x9c\x09\x5d\x08\x00\x00\x00\x00\x80\x3e\xd5\xde\xb1\x9d\x01' >>"$stream"
printf '\xa4\x13\xee\x7e\x4b\x65\x14\x4c\xaf\xe0\x6c\xec\x02\x48\x39\xc1\x04\x00\x00\x00\x30\x00\x00\x00' >>"$stream"
cp "$stream" "$work/stored.cfg"

check_actions=(--resolve "updates.tendwell.test:80=127.0.0.1:$port" --wait-console "[Autoupdate] ")
expected_check="[Autoupdate] 2 updated component(s) found, 1 hidden."
if [ "$mode" = no-check ]; then
  # The check is due but goes to an address where nothing answers: it fails, and a
  # failed check moves nothing in the stored configuration.
  check_actions=(--resolve "updates.tendwell.test:80=127.0.0.1:1" --wait-console "[Autoupdate] ")
  expected_check=
fi
"$wine_run" "$bin/vlhost.exe" --profile "$(winepath_of "$work/profile")" --hidden --stdout \
  --list "${check_actions[@]}" --quit \
  >"$work/out.txt" 2>"$work/err.txt"
code=$?
cat "$work/out.txt"
failures=0
[ "$code" = 0 ] || { echo "FAIL: exit code $code"; cat "$work/err.txt"; failures=1; }
for line in "Component: Vellora 1.0.0 (vlhost.exe)" "Component: Shared helper library 1.0.0 (shared.dll)" \
            "Component: Send to Device 1.1.2 [Nov 28 2007 - 10:13:31] (vel_porter.dll)" \
            "Component: Tendwell 1 (vel_upkeep.dll)" "Components loaded: 2" ${expected_check:+"$expected_check"}; do
  grep -qxF -- "$line" <(tr -d '\r' <"$work/out.txt") || { echo "FAIL: missing line: $line"; failures=1; }
done
cmp "$stream" "$work/stored.cfg" || { echo "FAIL: the stored configuration changed"; failures=1; }
[ -s "$work/profile/configuration/vel_porter.dll.cfg" ] || { echo "FAIL: no configuration saved for vel_porter.dll"; failures=1; }
grep -qF "Components loaded: 2" "$work/profile/vlhost.log" || { echo "FAIL: log file lacks the console lines"; failures=1; }
exit $failures
