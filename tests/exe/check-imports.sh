#!/bin/sh
# Checks the built exes: each imports only DLLs that come with Windows; the
# shipping one is a 32-bit GUI program under the size limit; the window-free
# engine, linked whole into a probe, imports no window DLL.
# Usage: check-imports.sh <shipping exe> <test exe> <engine probe exe>
set -eu
allowed="kernel32.dll user32.dll gdi32.dll comctl32.dll advapi32.dll shell32.dll msvcrt.dll"
window_dlls="user32.dll gdi32.dll comctl32.dll shell32.dll"
# About 68 KB of it are its resources, most of them the pictures drawn for
# 100, 150 and 200 %, run-length encoded.
size_limit=204800
exe32=$1 exe64=$2 probe=$3
status=0

imports() {
    x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'
}

for exe in "$exe32" "$exe64" "$probe"; do
    [ -f "$exe" ] || { echo "FAIL: missing $exe"; exit 1; }
done
for exe in "$exe32" "$exe64"; do
    for dll in $(imports "$exe"); do
        case " $allowed " in
            *" $dll "*) echo "ok: $exe imports $dll" ;;
            *) echo "FAIL: $exe imports $dll"; status=1 ;;
        esac
    done
    x86_64-w64-mingw32-objdump -p "$exe" | grep -q 'Subsystem[[:space:]]*00000002' \
        || { echo "FAIL: $exe is not a GUI program"; status=1; }
done

format=$(x86_64-w64-mingw32-objdump -f "$exe32")
if ! printf '%s\n' "$format" | grep -q 'file format pei-i386' \
    || ! x86_64-w64-mingw32-objdump -p "$exe32" | grep -q 'Magic[[:space:]]*010b'; then
    echo "FAIL: $exe32 is not a PE32 i386 exe: $format"; status=1
else
    echo "ok: $exe32 is PE32 i386"
fi
size=$(stat -c %s "$exe32")
if [ "$size" -lt "$size_limit" ]; then
    echo "ok: $exe32 is $size bytes (limit $size_limit)"
else
    echo "FAIL: $exe32 is $size bytes, over the limit of $size_limit"; status=1
fi

engine_imports=$(imports "$probe")
[ -n "$engine_imports" ] || { echo "FAIL: $probe imports nothing; is the engine linked in?"; status=1; }
for dll in $engine_imports; do
    case " $window_dlls " in
        *" $dll "*) echo "FAIL: the window-free engine imports $dll"; status=1 ;;
        *) echo "ok: the engine imports $dll" ;;
    esac
done
exit $status
