#!/bin/sh
# Checks that each exe imports only DLLs that come with Windows, and that the
# shipping one is a 32-bit GUI program. Usage: check-imports.sh <exe>...
set -eu
allowed="kernel32.dll user32.dll gdi32.dll comctl32.dll advapi32.dll shell32.dll msvcrt.dll"
status=0
for exe in "$@"; do
    if [ ! -f "$exe" ]; then
        echo "missing: $exe"; status=1; continue
    fi
    headers=$(x86_64-w64-mingw32-objdump -p "$exe")
    for dll in $(printf '%s\n' "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
        case " $allowed " in
            *" $dll "*) echo "ok: $exe imports $dll" ;;
            *) echo "FAIL: $exe imports $dll"; status=1 ;;
        esac
    done
    printf '%s\n' "$headers" | grep -q 'Subsystem[[:space:]]*00000002' \
        || { echo "FAIL: $exe is not a GUI program"; status=1; }
done
exe32=$1
format=$(x86_64-w64-mingw32-objdump -f "$exe32")
if ! printf '%s\n' "$format" | grep -q 'file format pei-i386' \
    || ! x86_64-w64-mingw32-objdump -p "$exe32" | grep -q 'Magic[[:space:]]*010b'; then
    echo "FAIL: $exe32 is not a PE32 i386 exe: $format"; status=1
else
    echo "ok: $exe32 is PE32 i386"
fi
exit $status
