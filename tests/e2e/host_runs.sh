#!/usr/bin/env bash
# vlhost.exe as a user starts it: lists the host's entries and both components, and
# a stored non-default configuration survives a run byte for byte.
set -uo pipefail
wine_run=$1 bin=$2 work=$3
rm -rf "$work"; mkdir -p "$work/profile/configuration"
winepath_of() { echo "Z:${1//\//\\}"; }

# The update notifier's variables, last defined first: notice off, consent 0, hidden
# {a.dll: 1.0}, last check time, interval 48 hours.
stream="$work/profile/configuration/vel_upkeep.dll.cfg"
printf '\xff\xdb\x44\x8a\x73\xf1\x31\x4c\x81\x36\x92\xea\x4c\x9c\xdf\xaa\x01\x00\x00\x00\x01' >"$stream"
printf '\x34\xc4\xcf\x89\xfb\xe4\x07\x47\x93\xec\xe8\x68\xd2\xf1\x61\x4a\x04\x00\x00\x00\x00\x00\x00\x00' >>"$stream"
printf '\x4f\x0f\xb5\x1f\xd4\x1b\x01\x4f\xb0\x65\xd2\x27\xf6\x7f\xda\x62\x14\x00\x00\x00' >>"$stream"
printf '\x01\x00\x00\x00\x05\x00\x00\x00a.dll\x03\x00\x00\x001.0' >>"$stream"
printf '\xa9\x74\x5f\xb4\x65\xa9\xe6\x41\x8e\x81\x00\xb2\x11\x9c\x09\x5d\x08\x00\x00\x00\x00\x80\x3e\xd5\xde\xb1\x9d\x01' >>"$stream"
printf '\xa4\x13\xee\x7e\x4b\x65\x14\x4c\xaf\xe0\x6c\xec\x02\x48\x39\xc1\x04\x00\x00\x00\x30\x00\x00\x00' >>"$stream"
cp "$stream" "$work/stored.cfg"

"$wine_run" "$bin/vlhost.exe" --profile "$(winepath_of "$work/profile")" --hidden --stdout --list --quit \
  >"$work/out.txt" 2>"$work/err.txt"
code=$?
cat "$work/out.txt"
failures=0
[ "$code" = 0 ] || { echo "FAIL: exit code $code"; cat "$work/err.txt"; failures=1; }
for line in "Component: Vellora 1.0.0 (vlhost.exe)" "Component: Shared helper library 1.0.0 (shared.dll)" \
            "Component: Send to Device 1.1.2 [Nov 28 2007 - 10:13:31] (vel_porter.dll)" \
            "Component: Tendwell 1 (vel_upkeep.dll)" "Components loaded: 2"; do
  grep -qxF -- "$line" <(tr -d '\r' <"$work/out.txt") || { echo "FAIL: missing line: $line"; failures=1; }
done
cmp "$stream" "$work/stored.cfg" || { echo "FAIL: the stored configuration changed"; failures=1; }
[ -s "$work/profile/configuration/vel_porter.dll.cfg" ] || { echo "FAIL: no configuration saved for vel_porter.dll"; failures=1; }
grep -qF "Components loaded: 2" "$work/profile/vlhost.log" || { echo "FAIL: log file lacks the console lines"; failures=1; }
exit $failures
