#!/usr/bin/env bash
# Runs a Windows program in the build tree's Wine session, bringing the session
# up first if needed. CTest uses it as the cross-compiling emulator:
#   wine-run.sh <session-dir> <program.exe> [args...]
# A 64-bit or 32-bit program, each with its own loader (the session's prefix
# is a WoW64 one). stdout and stderr pass straight through; the exit status is
# the program's (Wine keeps only its low 8 bits).
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

exec "$here/wine-session.sh" run "$@"
