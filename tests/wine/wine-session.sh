#!/usr/bin/env bash
# Keeps the Wine session the tests share: a prefix inside the build tree, an Xvfb
# display and a persistent wineserver, so that a Windows program starts in a
# fraction of a second. A session nobody takes down (ctest killed, build tree
# deleted) ends by itself once no Windows program has run in it for $UZ_WINE_IDLE s.
# The warm-up program is $UZ_WARMUP_EXE, or else <session-dir>/../uz-warmup.exe.
#   wine-session.sh up     <session-dir>   bring it up (idempotent, safe in parallel)
#   wine-session.sh down   <session-dir>   stop its wineserver and Xvfb
#   wine-session.sh env    <session-dir>   print export lines: eval "$(wine-session.sh env DIR)"
#   wine-session.sh status <session-dir>   exit 0 if it is up
#   wine-session.sh run    <session-dir> <program.exe> [args...]   (what wine-run.sh does)
set -eu

# Debian's wine64 and wine32:i386 packages ship these. Where the machine runs
# 32-bit x86 code (x86-32.sh), the prefix is a WoW64 one, as 64-bit Windows is:
# it runs 64-bit and 32-bit programs, each with its own loader (loader_for),
# under the one 64-bit server. Elsewhere it is a plain 64-bit prefix, and a
# 32-bit program is refused with the reason.
WINE_LOADER=/usr/lib/wine/wine64
WINE_LOADER32=/usr/lib/wine/wine
WINE_SERVER=/usr/lib/wine/wineserver64
IDLE=${UZ_WINE_IDLE:-900}
# A healthy warm-up takes well under 2 s; a hung one never finishes.
WARMUP_TIMEOUT=${UZ_WINE_WARMUP_TIMEOUT:-30}
SONG_FACE="AR PL UMing CN"
# Registry settings of every new prefix; it keeps a copy and is made anew when they
# change. Managed=N: without a window manager, managed windows make every hide wait
# ~2 s. No crash dialog: a crashing test fails at once. The dialogs ask for 宋体,
# which Linux lacks; Wine's own fallback is a Hei face whose strokes are lost at 9 pt.
RECIPE="[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
\"Managed\"=\"N\"
[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
\"ShowCrashDialog\"=dword:00000000
[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]"
for face in 宋体 新宋体 SimSun NSimSun "MS Shell Dlg"; do RECIPE+=$'\n'"\"$face\"=\"$SONG_FACE\""; done
die() { say "error: $*"; exit 1; }
say() { echo "wine-session: $*" >&2; }
usage() { sed -n 's/^#   \(wine-session.sh\)/  \1/p' "$0" >&2; exit 2; }
# Chatter goes to the log; fd 9 is the bring-up lock, which no server may keep.
quiet() { "$@" </dev/null >>"$LOG" 2>&1 9>&-; }
lock() { exec 9>>"$SD/lock"; flock -w "$1" 9 || die "gave up waiting for $SD/lock"; }
# Absolute, as Wine's processes do not keep our working directory.
case $0 in /*) HERE=${0%/*} ;; */*) HERE=$PWD/${0%/*} ;; *) HERE=$PWD ;; esac

# Every test start goes through here and session_up, so builtins only.
init_paths() {
  SD=$(cd "$1" && pwd -P) || die "cannot enter session dir $1"
  PREFIX=$SD/prefix
  LOG=$SD/session.log
  # Inside the prefix, so deleting a prefix by hand also drops its stamp.
  PREFIX_STAMP=$PREFIX/.uz-prefix-ready
  # The answer of x86-32.sh the session was brought up with.
  X86_32=$SD/x86-32
  WARMUP_EXE=${UZ_WARMUP_EXE:-$SD/../uz-warmup.exe}
}

# One line: Xvfb's pid, its display, the wineserver's socket, and "up" once ready.
read_state() {
  XVFB_PID='' DISPLAY_NUM='' SOCKET='' READY=''
  if [ -f "$SD/state" ]; then read -r XVFB_PID DISPLAY_NUM SOCKET READY <"$SD/state" || true; fi
}
xvfb_alive() {
  local comm
  { read -r comm <"/proc/${XVFB_PID:-none}/comm"; } 2>/dev/null && [ "$comm" = Xvfb ]
}
# Which prefix the machine gets: "wow64" where it runs 32-bit code, else "win64".
read_kind() {
  WHY32=''
  { IFS= read -r WHY32 <"$X86_32"; } 2>/dev/null || true
  if [ "$WHY32" = yes ]; then KIND=wow64; else KIND=win64; fi
}
# The stamp records the kind too, so the prefix is made anew when the answer changes.
prefix_current() {
  local made=''
  { IFS= read -r -d '' made <"$PREFIX_STAMP"; } 2>/dev/null || true
  [ "$made" = "$RECIPE"$'\n'"prefix: $KIND"$'\n' ] && { [ "$KIND" = win64 ] || wow64_prefix; }
}
# A prefix made while only 64-bit Wine was installed has an empty syswow64.
wow64_prefix() { [ -f "$PREFIX/drive_c/windows/syswow64/kernel32.dll" ]; }

# Sets LOADER for a program: the 32-bit loader for a 32-bit exe. The 64-bit one
# would also run it, but only by starting a 64-bit start.exe that starts it: a
# start takes four times as long (75 ms instead of 18 in an up session). Anything
# else (a builtin such as wineboot) goes to the 64-bit loader.
loader_for() {
  local bytes pe
  LOADER=$WINE_LOADER
  bytes=($(od -An -v -t u1 -N 1024 "$1" 2>/dev/null)) || return 0
  [ ${#bytes[@]} -ge 64 ] || return 0
  pe=$((bytes[60] | bytes[61] << 8 | bytes[62] << 16 | bytes[63] << 24))
  # "PE\0\0", then the machine: 0x14c is i386.
  [ $((pe + 6)) -le ${#bytes[@]} ] && [ "${bytes[pe]}:${bytes[pe + 1]}" = 80:69 ] || return 0
  [ $((bytes[pe + 4] | bytes[pe + 5] << 8)) -eq $((0x14c)) ] || return 0
  [ "$KIND" = wow64 ] || {
    REASON="$1 is a 32-bit program, and this session's prefix is 64-bit only: this machine cannot run 32-bit x86 code (${WHY32#no: })"
    return 1
  }
  LOADER=$WINE_LOADER32
}
session_up() {
  read_state
  read_kind
  [ "$READY" = up ] && xvfb_alive && [ -S "$SOCKET" ] && prefix_current
}

wine_env() {
  unset WINEARCH
  export WINEPREFIX=$PREFIX WINESERVER=$WINE_SERVER WINELOADER=$WINE_LOADER DISPLAY=:$DISPLAY_NUM
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEDEBUG=${UZ_WINEDEBUG:--all}
  # No Mono/Gecko install prompts, and no menu entries written into the real home.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # Draws the Song face from its bitmaps, as 宋体 is drawn on Windows; see there.
  export FONTCONFIG_FILE=$HERE/fonts.conf
}

# Stops whatever a previous bring-up left; tolerates missing parts.
stop_session() {
  read_state
  rm -f "$SD/state"
  # Ends every Windows program of the prefix too, and waits for the server to go.
  if [ -d "$PREFIX" ]; then quiet timeout 60 env WINEPREFIX="$PREFIX" "$WINE_SERVER" -k || true; fi
  # The next one picks a display of its own, so there is no need to wait for this.
  if xvfb_alive; then kill "$XVFB_PID" 2>/dev/null || true; fi
}

start_xvfb() {
  rm -f "$SD/displayfd" && mkfifo "$SD/displayfd"
  # In a session of its own, so a Ctrl-C in the terminal running ctest leaves it
  # be. It picks a free display, and ends once it has had no client for a while.
  setsid Xvfb -displayfd 3 -terminate "$((IDLE + 60))" -screen 0 1280x1024x24 -nolisten tcp \
    3>"$SD/displayfd" </dev/null >>"$SD/xvfb.log" 2>&1 9>&- &
  XVFB_PID=$!
  echo "$XVFB_PID" >"$SD/state"
  # It writes the number and the newline apart and dies if the pipe closes in between.
  read -r -t 30 DISPLAY_NUM <"$SD/displayfd" || true
  rm -f "$SD/displayfd"
  [ -n "$DISPLAY_NUM" ] || { REASON="Xvfb did not start (see $SD/xvfb.log)"; return 1; }
}

make_prefix() {
  say "creating Wine prefix $PREFIX (takes a while once)"
  rm -rf "$PREFIX"
  quiet timeout -k 10 300 "$WINE_LOADER" wineboot -i || { REASON="wineboot -i failed"; return 1; }
  [ "$KIND" = win64 ] || wow64_prefix ||
    { REASON="the new prefix has no 32-bit side (scripts/setup.sh installs wine32:i386)"; return 1; }
  # UTF-16 with a byte-order mark, as regedit writes them.
  printf 'Windows Registry Editor Version 5.00\n%s\n' "$RECIPE" | iconv -f UTF-8 -t UTF-16 >"$SD/prefix.reg"
  quiet timeout -k 10 60 "$WINE_LOADER" reg import "Z:${SD//\//\\}\\prefix.reg" ||
    { REASON="could not import the prefix's registry settings"; return 1; }
  # The server writes the registry to disk when it stops.
  quiet "$WINE_SERVER" -k || true
  quiet timeout 60 "$WINE_SERVER" -w || true
  grep -q '^"Managed"="N"' "$PREFIX/user.reg" 2>/dev/null ||
    { REASON="the new prefix's registry was not written"; return 1; }
  # Desktop, Documents and such come as links into the real home; tests must write only here.
  find "$PREFIX/drive_c/users" -mindepth 1 -maxdepth 3 -type l -print0 |
    while IFS= read -r -d '' link; do rm -f "$link" && mkdir "$link"; done
  printf '%s\nprefix: %s\n' "$RECIPE" "$KIND" >"$PREFIX_STAMP"
}

bring_up() {
  local rc=0 dev ino
  start_xvfb || return 1
  wine_env
  prefix_current || make_prefix || return 1
  # T: is a drive of the tests' own, for what must happen at a drive's root.
  mkdir -p "$SD/drive-t" && ln -sfn "$SD/drive-t" "$PREFIX/dosdevices/t:"
  # Returns once the server takes clients; it ends IDLE seconds after the last.
  quiet setsid "$WINE_SERVER" -p"$IDLE" || { REASON="wineserver did not start"; return 1; }
  read -r dev ino < <(stat -c '%d %i' "$PREFIX")
  # Debian's Wine keeps it under a /tmp/wine-XXXXXX of its own.
  for SOCKET in /tmp/wine-*/"$(printf 'server-%x-%x' "$dev" "$ino")"/socket; do [ -S "$SOCKET" ] && break; done
  [ -S "$SOCKET" ] || { REASON="no wineserver socket for $PREFIX"; return 1; }
  # A fresh session sometimes hangs in its first GUI process: better here, retried, than in a test.
  loader_for "$WARMUP_EXE" || return 1
  quiet timeout -k 5 "$WARMUP_TIMEOUT" "$LOADER" "$WARMUP_EXE" || rc=$?
  case $rc in
    0) echo "$XVFB_PID $DISPLAY_NUM $SOCKET up" >"$SD/state" ;;
    124 | 137) REASON="warm-up program hung (killed after ${WARMUP_TIMEOUT}s)"; return 1 ;;
    *) REASON="warm-up program failed with exit status $rc"; return 1 ;;
  esac
}

cmd_up() {
  local attempt start=${EPOCHREALTIME//[!0-9]/} took tool answer
  answer=$("$HERE/x86-32.sh") || true
  # Checked once without the lock so that tests starting in an up session never queue.
  session_up && [ "$WHY32" = "$answer" ] && return 0
  lock 900
  session_up && [ "$WHY32" = "$answer" ] && return 0
  printf '%s\n' "$answer" >"$X86_32"
  read_kind
  [ "$KIND" = wow64 ] || say "a 64-bit prefix only: this machine cannot run 32-bit x86 code (${WHY32#no: })"
  for tool in "$WINE_LOADER" "$WINE_SERVER" Xvfb setsid timeout flock iconv fc-list; do
    command -v "$tool" >/dev/null || die "$tool not found (scripts/setup.sh installs it)"
  done
  locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8' ||
    die "locale zh_CN.UTF-8 is missing, so Wine would not use code page 936 (scripts/setup.sh makes it)"
  fc-list -q "$SONG_FACE" || die "font $SONG_FACE not found (scripts/setup.sh installs it)"
  [ "$KIND" = win64 ] || command -v "$WINE_LOADER32" >/dev/null ||
    die "$WINE_LOADER32 not found (scripts/setup.sh installs wine32:i386)"
  [ -f "$WARMUP_EXE" ] || die "warm-up program $WARMUP_EXE not found: build uz-warmup, or set UZ_WARMUP_EXE"
  # Of a width this machine cannot run: no attempt would do better.
  loader_for "$WARMUP_EXE" || die "$REASON"
  for attempt in 1 2 3; do
    stop_session
    REASON=unknown
    echo "--- bring-up attempt $attempt at $(date -u +%FT%TZ)" >>"$LOG"
    if bring_up; then
      took=$(((${EPOCHREALTIME//[!0-9]/} - start) / 100000))
      say "up on display :$DISPLAY_NUM in $((took / 10)).$((took % 10))s (prefix $PREFIX)"
      return 0
    fi
    say "bring-up attempt $attempt of 3 failed: $REASON"
  done
  stop_session
  tail -n 30 "$LOG" >&2 || true
  die "could not bring the Wine session up in $SD (above: the end of $LOG)"
}

case ${1-}:$# in
  up:2 | down:2 | env:2 | status:2 | run:[3-9] | run:[1-9][0-9]*) cmd=$1 && shift ;;
  *) usage ;;
esac
[ -d "$1" ] || case $cmd in up | run) mkdir -p "$1" ;; down) exit 0 ;; *) die "no session in $1" ;; esac
init_paths "$1"
shift
case $cmd in
  up) cmd_up ;;
  run)
    # A child process, so the bring-up lock is not inherited by the program.
    session_up || "$0" up "$SD"
    session_up || die "the session in $SD went down right after coming up"
    wine_env
    loader_for "$1" || die "$REASON"
    exec "$LOADER" "$@" ;;
  down) lock 120 && stop_session && say "down ($SD)" ;;
  env)
    session_up || die "the session in $SD is not up: run 'wine-session.sh up $SD' first"
    wine_env
    echo "unset WINEARCH"
    for var in DISPLAY WINEPREFIX WINESERVER WINELOADER LANG LC_ALL WINEDEBUG WINEDLLOVERRIDES FONTCONFIG_FILE; do
      printf 'export %s=%q\n' "$var" "${!var}"
    done ;;
  status)
    session_up || { echo down; exit 1; }
    echo "up on display :$DISPLAY_NUM (Xvfb $XVFB_PID, wineserver socket $SOCKET)" ;;
esac
