#!/bin/sh
# The one door: only objects of the door's own library (door/) may call a
# function that deletes or schedules a deletion, whether imported or looked
# up by name. Every other object of the program is checked.
# Usage: check-door.sh <door library> <other library, or folder of objects>...
set -eu
door=$1
shift
# DeleteFileA/W, RemoveDirectory…, MoveFileExA/W, SetFileInformationByHandle,
# RegDeleteKey…/RegDeleteTree…/RegDeleteValue…, NtDeleteKey and
# WritePrivateProfileString…, as an import or as a name looked up.
pattern='(DeleteFile|RemoveDirectory|MoveFileEx|SetFileInformationByHandle|RegDeleteKey|RegDeleteTree|RegDeleteValue|NtDeleteKey|WritePrivateProfileString)'
nm=x86_64-w64-mingw32-nm
status=0
checked=0
scratch=$(mktemp -d)
mkdir "$scratch/objects"
trap 'rm -rf "$scratch"' EXIT

check_object() {
    # $1: the object file, $2: how to name it
    calls=$($nm --undefined-only "$1" 2>/dev/null | sed 's/^ *U //' | grep -E "^__imp__?$pattern" || true)
    # A name looked up with GetProcAddress is a string of its own in the
    # object; the debugging information names functions of ours alike.
    x86_64-w64-mingw32-objcopy --remove-section='.debug*' "$1" "$scratch/constants" 2>/dev/null ||
        cp "$1" "$scratch/constants"
    names=$(strings -a "$scratch/constants" | grep -xE "$pattern[A-Za-z]*" || true)
    for call in $calls $names; do
        echo "FAIL: $2 calls $call outside the door"
        status=1
    done
    checked=$((checked + 1))
}

[ -f "$door" ] || { echo "FAIL: missing $door"; exit 1; }
# The door itself does call them: otherwise this check would prove nothing.
(cd "$scratch/objects" && ar x "$door")
$nm --undefined-only "$scratch"/objects/*.obj | sed 's/^ *U //' | grep -qE "^__imp__?$pattern" ||
    { echo "FAIL: the door $door deletes nothing"; status=1; }
rm -f "$scratch"/objects/*

for item in "$@"; do
    [ -e "$item" ] || { echo "FAIL: missing $item"; status=1; continue; }
    case $item in
    *.a)
        (cd "$scratch/objects" && ar x "$item")
        for object in "$scratch"/objects/*; do
            check_object "$object" "${item##*/}(${object##*/})"
        done
        rm -f "$scratch"/objects/* ;;
    *)
        for object in $(find "$item" -name '*.obj'); do
            check_object "$object" "${object#"$item"/}"
        done ;;
    esac
done
echo "checked $checked objects outside the door"
exit $status
