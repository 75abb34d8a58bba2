#!/usr/bin/env bash
# A fault in a guarded callback, an escaping C++ exception, a bug check and an abort
# signal each end the process through the crash path: exit code 70 and a crash
# report with the exception and the call-stack path.
set -uo pipefail
wine_run=$1 probe=$2 work=$3
rm -rf "$work"; mkdir -p "$work"
failures=0

check() {  # mode, then the texts the report must hold
  local mode=$1; shift
  local folder="$work/$mode"
  mkdir -p "$folder"
  "$wine_run" "$probe" "$mode" "$(winepath_of "$folder")" >"$folder.out" 2>&1
  local code=$?
  local report
  report=$(cat "$folder"/crash-*.txt 2>/dev/null)
  if [ "$code" != 70 ]; then echo "FAIL $mode: exit code $code, expected 70"; cat "$folder.out"; failures=$((failures+1)); return; fi
  for text in "$@"; do
    if ! grep -qF -- "$text" <<<"$report"; then
      echo "FAIL $mode: report lacks '$text'"; echo "$report"; failures=$((failures+1)); return
    fi
  done
  echo "ok   $mode"
}
# Linux paths are reachable in Wine through drive Z:.
winepath_of() { echo "Z:${1//\//\\}"; }

check window-fault "Exception code: C0000005" "Call path: crash probe / guarded window procedure"
# The exception leaves the body's own markers behind as it unwinds to the guard.
check escaped-throw "Exception code: E0564C43" "C++ exception: thrown in a window procedure" "Call path: crash probe"
check bug-check "Exception code: E0424B43" "Bug check" "Call path: crash probe"
check abort "Exception code: 6F8E1DC8" "Signal: 22" "Call path: crash probe"
exit $((failures > 0))
