#!/usr/bin/env bash
# The road of a machine that cannot run 32-bit x86 code, tried on any machine
# with UZ_NO_X86_32=1: the session makes a plain 64-bit prefix and says so in
# its stamp, runs 64-bit programs, and refuses a 32-bit one with the reason.
# Usage: session-test.sh <scratch session dir> <64-bit window program> <32-bit exe>
set -u
dir=$1 exe64=$2 exe32=$3
here=${BASH_SOURCE[0]%/*}
status=0
fail() { echo "FAIL: $*"; status=1; }
export UZ_NO_X86_32=1

answer=$("$here/x86-32.sh") && fail "x86-32.sh answered yes with UZ_NO_X86_32 set"
case $answer in no:*UZ_NO_X86_32*) echo "ok: $answer" ;; *) fail "x86-32.sh answered '$answer'" ;; esac

rm -rf "$dir" && mkdir -p "$dir"
trap '"$here/wine-session.sh" down "$dir" >/dev/null 2>&1; rm -rf "$dir"' EXIT
UZ_WARMUP_EXE=$exe64 "$here/wine-session.sh" up "$dir" || { echo "FAIL: the session did not come up"; exit 1; }
grep -qx 'prefix: win64' "$dir/prefix/.uz-prefix-ready" && echo "ok: a 64-bit prefix" ||
  fail "the prefix's stamp does not say win64"

"$here/wine-session.sh" run "$dir" "$exe64" && echo "ok: a 64-bit program runs" ||
  fail "the 64-bit program failed with $?"

error=$("$here/wine-session.sh" run "$dir" "$exe32" 2>&1) && fail "the 32-bit exe ran"
case $error in
  *"is a 32-bit program"*"cannot run 32-bit x86 code (UZ_NO_X86_32"*) echo "ok: refused: $error" ;;
  *) fail "the 32-bit exe was not refused with the reason: $error" ;;
esac
exit $status
