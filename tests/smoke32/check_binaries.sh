#!/usr/bin/env bash
# The shipped 32-bit binaries: each component exports vellora_get_interface by name
# and imports nothing beyond Windows system DLLs, shared.dll and the runtime DLLs
# that ship beside vlhost.exe.
set -uo pipefail
bin=$1
objdump=i686-w64-mingw32-objdump
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|shell32|shlwapi|ole32|oleaut32|uxtheme|msvcrt|crypt32|winhttp|psapi|ntdll|version|shared|libgcc_s_dw2-1|libstdc\+\+-6|libwinpthread-1)\.dll$'
failures=0
for dll in "$bin"/components/vel_upkeep.dll "$bin"/components/vel_porter.dll; do
  name=$(basename "$dll")
  headers=$($objdump -p "$dll")
  grep -q 'file format pei-i386' <<<"$headers" || { echo "FAIL $name: not a 32-bit PE"; failures=1; }
  exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" | tail -n +2 | grep -oE '\] [A-Za-z_0-9]+' | cut -c3-)
  [ "$exports" = "vellora_get_interface" ] || { echo "FAIL $name: exports '$exports'"; failures=1; }
  while read -r imported; do
    lower=$(tr 'A-Z' 'a-z' <<<"$imported")
    grep -qE "$allowed" <<<"$lower" || { echo "FAIL $name imports $imported"; failures=1; }
    case "$lower" in shared.dll|kernel32.dll|user32.dll|gdi32.dll|comctl32.dll|comdlg32.dll|advapi32.dll|shell32.dll|shlwapi.dll|ole32.dll|oleaut32.dll|uxtheme.dll|msvcrt.dll|crypt32.dll|winhttp.dll|psapi.dll|ntdll.dll|version.dll) ;;
      *) [ -f "$bin/$imported" ] || { echo "FAIL $name needs $imported, which does not ship beside vlhost.exe"; failures=1; } ;;
    esac
  done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
  echo "checked $name"
done
exit $failures
