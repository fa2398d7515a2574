#!/usr/bin/env bash
# Runs a Windows program in the build tree's Wine session, bringing the session
# up first if needed. CTest uses it as the cross-compiling emulator:
#   wine-run.sh <session-dir> <program.exe> [args...]
# stdout and stderr pass straight through; the exit status is the program's
# (Wine keeps only its low 8 bits).
set -eu

if [ $# -lt 2 ]; then
  echo "usage: wine-run.sh <session-dir> <program.exe> [args...]" >&2
  exit 2
fi

case ${BASH_SOURCE[0]} in
  */*) here=${BASH_SOURCE[0]%/*} ;;
  *) here=. ;;
esac

if [ ! -f "$2" ]; then
  echo "wine-run: error: program $2 not found" >&2
  exit 2
fi

# Only 64-bit Wine is available here; given a 32-bit exe it fails with a
# message in the test locale's code page, so say plainly what is wrong.
pe_offset=$(od -An -t u4 -j 60 -N 4 "$2" 2>/dev/null) || pe_offset=
pe_offset=${pe_offset//[[:space:]]/}
if [ -n "$pe_offset" ]; then
  machine=$(od -An -t x2 -j $((pe_offset + 4)) -N 2 "$2" 2>/dev/null) || machine=
  if [ "${machine//[[:space:]]/}" = 014c ]; then
    echo "wine-run: error: $2 is a 32-bit program; the test Wine is 64-bit only" >&2
    exit 2
  fi
fi

exec "$here/wine-session.sh" run "$@"
