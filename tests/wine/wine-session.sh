#!/usr/bin/env bash
# Keeps the Wine session the tests run in: a prefix inside the build tree, an
# Xvfb display and a persistent wineserver. With the server kept alive a Windows
# program starts in a fraction of a second instead of several seconds.
#
#   wine-session.sh up     <session-dir>   bring the session up (idempotent, safe in parallel)
#   wine-session.sh down   <session-dir>   stop its wineserver and Xvfb
#   wine-session.sh env    <session-dir>   print export lines: eval "$(wine-session.sh env DIR)"
#   wine-session.sh status <session-dir>   exit 0 if the session is up
#   wine-session.sh run    <session-dir> <program.exe> [args...]
#                                          run a program in it (what wine-run.sh does)
#
# The warm-up program is $UZ_WARMUP_EXE, or else <session-dir>/../uz-warmup.exe.
set -eu

# Debian's wine64 package ships these; /usr/bin/wine would try the 32-bit loader.
WINE_LOADER=/usr/lib/wine/wine64
WINE_SERVER=/usr/lib/wine/wineserver64
WINE_LOCALE=zh_CN.UTF-8
FIRST_DISPLAY=90
LAST_DISPLAY=189
BRINGUP_ATTEMPTS=3
PREFIX_TIMEOUT=${UZ_WINE_PREFIX_TIMEOUT:-300}
# A healthy warm-up takes well under 2 s; a hung one never finishes.
WARMUP_TIMEOUT=${UZ_WINE_WARMUP_TIMEOUT:-30}
LOCK_TIMEOUT=900

die() {
  echo "wine-session: error: $*" >&2
  exit 1
}

say() {
  echo "wine-session: $*" >&2
}

usage() {
  echo "usage: wine-session.sh up|down|env|status <session-dir>" >&2
  echo "       wine-session.sh run <session-dir> <program.exe> [args...]" >&2
  exit 2
}

# Every test start goes through the checks below, and on a busy machine each
# fork costs tens of milliseconds, so they stick to shell builtins.
server_comm() {
  local name=${WINE_SERVER##*/}
  SERVER_COMM=${name:0:15}
}

init_paths() {
  SD=$(cd "$1" && pwd -P) || die "cannot enter session dir $1"
  PREFIX=$SD/prefix
  LOCK=$SD/lock
  LOG=$SD/session.log
  UP_STAMP=$SD/up
  XVFB_PIDFILE=$SD/xvfb.pid
  SERVER_PIDFILE=$SD/wineserver.pid
  HOLDER_PIDFILE=$SD/holder.pid
  HOLDER_OUT=$SD/holder.out
  # Inside the prefix, so deleting a prefix by hand also drops its stamp.
  PREFIX_STAMP=$PREFIX/.uz-prefix-ready
  WARMUP_EXE=${UZ_WARMUP_EXE:-$SD/../uz-warmup.exe}
  server_comm
  XVFB_PID=
  DISPLAY_NUM=
  SERVER_PID=
}

# True if pid is a process that has not exited (zombies count as exited).
running() {
  local stat
  [ -n "$1" ] || return 1
  { read -r stat <"/proc/$1/stat"; } 2>/dev/null || return 1
  case ${stat##*) } in Z* | X*) return 1 ;; esac
}

# True if pid is running and named $2, so a recycled pid is not mistaken for ours.
alive() {
  local comm
  running "$1" || return 1
  { read -r comm <"/proc/$1/comm"; } 2>/dev/null || return 1
  [ "$comm" = "$2" ]
}

read_state() {
  XVFB_PID=
  DISPLAY_NUM=
  SERVER_PID=
  if [ -f "$XVFB_PIDFILE" ]; then read -r XVFB_PID DISPLAY_NUM <"$XVFB_PIDFILE" || true; fi
  if [ -f "$SERVER_PIDFILE" ]; then read -r SERVER_PID <"$SERVER_PIDFILE" || true; fi
}

session_up() {
  [ -f "$UP_STAMP" ] && [ -f "$PREFIX_STAMP" ] || return 1
  read_state
  alive "$XVFB_PID" Xvfb && alive "$SERVER_PID" "$SERVER_COMM" &&
    [ -S "/tmp/.X11-unix/X$DISPLAY_NUM" ]
}

wine_env() {
  unset WINEARCH
  export WINEPREFIX=$PREFIX
  export WINESERVER=$WINE_SERVER
  export WINELOADER=$WINE_LOADER
  export LANG=$WINE_LOCALE
  export LC_ALL=$WINE_LOCALE
  export WINEDEBUG=${UZ_WINEDEBUG:--all}
  # No Mono/Gecko install prompts, and no menu entries written into the real home.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export DISPLAY=:$DISPLAY_NUM
}

wait_gone() {
  local pid=$1 name=$2 i
  for ((i = 0; i < 100; i++)); do
    alive "$pid" "$name" || return 0
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
}

# Stops whatever a previous bring-up left, recorded or not; tolerates missing parts.
stop_session() {
  read_state
  rm -f "$UP_STAMP"
  if [ -d "$PREFIX" ]; then
    WINEPREFIX=$PREFIX "$WINE_SERVER" -k </dev/null >>"$LOG" 2>&1 9>&- || true
  fi
  if alive "$SERVER_PID" "$SERVER_COMM"; then
    kill -TERM "$SERVER_PID" 2>/dev/null || true
    wait_gone "$SERVER_PID" "$SERVER_COMM"
  fi
  rm -f "$SERVER_PIDFILE" "$HOLDER_PIDFILE" "$HOLDER_OUT"
  if alive "$XVFB_PID" Xvfb; then
    kill -TERM "$XVFB_PID" 2>/dev/null || true
    wait_gone "$XVFB_PID" Xvfb
  fi
  rm -f "$XVFB_PIDFILE"
  XVFB_PID=
  DISPLAY_NUM=
  SERVER_PID=
}

start_xvfb() {
  local n pid i owner
  for ((n = FIRST_DISPLAY; n <= LAST_DISPLAY; n++)); do
    if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then
      continue
    fi
    # Own session: a Ctrl-C in the terminal running ctest should not kill it.
    setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp \
      </dev/null >>"$SD/xvfb.log" 2>&1 9>&- &
    pid=$!
    echo "$pid $n" >"$XVFB_PIDFILE"
    for ((i = 0; i < 200; i++)); do
      # Dying here means another server took :$n first; move on. (Not checked
      # by name: the child may not have become Xvfb yet.)
      running "$pid" || break
      owner=$({ tr -dc 0-9 <"/tmp/.X$n-lock"; } 2>/dev/null || true)
      if [ "$owner" = "$pid" ] && [ -S "/tmp/.X11-unix/X$n" ]; then
        XVFB_PID=$pid
        DISPLAY_NUM=$n
        return 0
      fi
      sleep 0.05
    done
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rm -f "$XVFB_PIDFILE"
  done
  REASON="could not start Xvfb on any display :$FIRST_DISPLAY-:$LAST_DISPLAY (see $SD/xvfb.log)"
  return 1
}

make_prefix() {
  local link
  say "creating Wine prefix $PREFIX (takes a while once)"
  rm -rf "$PREFIX"
  if ! timeout -k 10 "$PREFIX_TIMEOUT" "$WINE_LOADER" wineboot -i \
    </dev/null >>"$LOG" 2>&1 9>&-; then
    REASON="wineboot -i failed or timed out after ${PREFIX_TIMEOUT}s"
    return 1
  fi
  # Without a window manager, managed windows make every hide wait ~2 s.
  # Without a crash dialog, a crashing test fails at once instead of at its timeout.
  if ! timeout -k 10 60 "$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' \
      /v Managed /d N /f </dev/null >>"$LOG" 2>&1 9>&- ||
    ! timeout -k 10 60 "$WINE_LOADER" reg add 'HKCU\Software\Wine\WineDbg' \
      /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >>"$LOG" 2>&1 9>&-; then
    REASON="could not write the prefix's registry settings"
    return 1
  fi
  # The server writes the registry to disk when it stops.
  "$WINE_SERVER" -k </dev/null >>"$LOG" 2>&1 9>&- || true
  timeout 60 "$WINE_SERVER" -w </dev/null >>"$LOG" 2>&1 9>&- || true
  if [ ! -s "$PREFIX/system.reg" ] || ! grep -q '^"Managed"="N"' "$PREFIX/user.reg" 2>/dev/null; then
    REASON="the new prefix's registry was not written"
    return 1
  fi
  # Shell folders such as Desktop and Documents come as links into the real home;
  # tests must only ever write inside the prefix.
  while IFS= read -r -d '' link; do
    rm -f "$link"
    mkdir "$link"
  done < <(find "$PREFIX/drive_c/users" -mindepth 1 -maxdepth 3 -type l -print0)
  date -u +%FT%TZ >"$PREFIX_STAMP"
}

start_wineserver() {
  local pid i dev ino name
  setsid "$WINE_SERVER" -f -p </dev/null >>"$LOG" 2>&1 9>&- &
  pid=$!
  echo "$pid" >"$SERVER_PIDFILE"
  read -r dev ino < <(stat -c '%d %i' "$PREFIX")
  name=$(printf 'server-%x-%x' "$dev" "$ino")
  for ((i = 0; i < 100; i++)); do
    if ! running "$pid"; then
      REASON="wineserver exited at start (see $LOG)"
      return 1
    fi
    if compgen -G "/tmp/wine-*/$name/socket" >/dev/null ||
      [ -S "/tmp/.wine-$(id -u)/$name/socket" ]; then
      break
    fi
    sleep 0.05
  done
  # A socket found elsewhere than expected is fine: clients locate the server themselves.
  SERVER_PID=$pid
}

# The session outlives ctest on purpose (a Ctrl-C'd run leaves it for the next),
# so something must notice when its folder is deleted with the build tree, or
# Xvfb and wineserver would run on for nobody. Ends by itself after a normal down.
start_watchdog() {
  local id
  id=$(stat -c %d:%i "$SD")
  setsid "$0" watch "$SD" "$id" "$XVFB_PID" "$SERVER_PID" </dev/null >/dev/null 2>&1 9>&- &
}

cmd_watch() {
  local sd=$1 id=$2 xvfb=$3 server=$4
  while sleep 2; do
    alive "$xvfb" Xvfb || alive "$server" "$SERVER_COMM" || exit 0
    if [ "$(stat -c %d:%i "$sd" 2>/dev/null)" != "$id" ]; then
      if alive "$server" "$SERVER_COMM"; then kill -TERM "$server" 2>/dev/null || true; fi
      if alive "$xvfb" Xvfb; then kill -TERM "$xvfb" 2>/dev/null || true; fi
      exit 0
    fi
  done
}

# Keeps Wine's desktop process alive between tests; see warmup.cpp.
start_holder() {
  local pid i
  setsid "$WINE_LOADER" "$WARMUP_EXE" --hold </dev/null >"$HOLDER_OUT" 2>>"$LOG" 9>&- &
  pid=$!
  echo "$pid" >"$HOLDER_PIDFILE"
  for ((i = 0; i < WARMUP_TIMEOUT * 20; i++)); do
    if grep -q '^ready' "$HOLDER_OUT" 2>/dev/null; then
      return 0
    fi
    if ! running "$pid"; then
      REASON="desktop holder exited at start (see $LOG)"
      return 1
    fi
    sleep 0.05
  done
  REASON="desktop holder hung (not ready after ${WARMUP_TIMEOUT}s)"
  return 1
}

run_warmup() {
  local rc=0
  timeout -k 5 "$WARMUP_TIMEOUT" "$WINE_LOADER" "$WARMUP_EXE" \
    </dev/null >>"$LOG" 2>&1 9>&- || rc=$?
  case $rc in
    0) return 0 ;;
    124 | 137) REASON="warm-up program hung (killed after ${WARMUP_TIMEOUT}s)" ;;
    *) REASON="warm-up program failed with exit status $rc" ;;
  esac
  return 1
}

bring_up() {
  start_xvfb || return 1
  wine_env
  if [ ! -f "$PREFIX_STAMP" ]; then
    make_prefix || return 1
  fi
  start_wineserver || return 1
  start_watchdog
  run_warmup || return 1
  start_holder || return 1
}

check_prerequisites() {
  local tool
  for tool in "$WINE_LOADER" "$WINE_SERVER"; do
    [ -x "$tool" ] || die "$tool not found: install Debian's wine64 package (scripts/setup.sh does)"
  done
  for tool in Xvfb setsid timeout flock; do
    command -v "$tool" >/dev/null || die "$tool not found (scripts/setup.sh installs what is needed)"
  done
  locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8' ||
    die "locale $WINE_LOCALE is missing, so Wine would not use code page 936 (scripts/setup.sh generates it)"
  [ -f "$WARMUP_EXE" ] ||
    die "warm-up program $WARMUP_EXE not found: build target uz-warmup, or set UZ_WARMUP_EXE"
}

cmd_up() {
  local attempt start
  [ -d "$1" ] || mkdir -p "$1" || die "cannot create session dir $1"
  init_paths "$1"
  # Checked once without the lock so that tests starting in an up session never queue.
  session_up && return 0
  exec 9>>"$LOCK"
  flock -w "$LOCK_TIMEOUT" 9 || die "gave up waiting for $LOCK after ${LOCK_TIMEOUT}s"
  session_up && return 0
  check_prerequisites
  start=$(date +%s.%N)
  for ((attempt = 1; attempt <= BRINGUP_ATTEMPTS; attempt++)); do
    stop_session
    REASON=unknown
    echo "--- bring-up attempt $attempt at $(date -u +%FT%TZ)" >>"$LOG"
    if bring_up; then
      echo ":$DISPLAY_NUM" >"$UP_STAMP"
      say "up on display :$DISPLAY_NUM in $(awk -v s="$start" -v e="$(date +%s.%N)" \
        'BEGIN { printf "%.1f", e - s }')s (prefix $PREFIX)"
      return 0
    fi
    say "bring-up attempt $attempt of $BRINGUP_ATTEMPTS failed: $REASON"
  done
  stop_session
  echo "--- last lines of $LOG:" >&2
  tail -n 30 "$LOG" >&2 || true
  die "could not bring the Wine session up in $SD"
}

cmd_down() {
  [ -d "$1" ] || return 0
  init_paths "$1"
  exec 9>>"$LOCK"
  flock -w 120 9 || die "gave up waiting for $LOCK"
  stop_session
  say "down ($SD)"
}

cmd_env() {
  local var
  [ -d "$1" ] || die "no session in $1: run 'wine-session.sh up $1' first"
  init_paths "$1"
  session_up || die "the session in $SD is not up: run 'wine-session.sh up $1' first"
  wine_env
  echo "unset WINEARCH"
  for var in DISPLAY WINEPREFIX WINESERVER WINELOADER LANG LC_ALL WINEDEBUG WINEDLLOVERRIDES; do
    printf 'export %s=%q\n' "$var" "${!var}"
  done
}

cmd_run() {
  local dir=$1
  shift
  [ -d "$dir" ] || mkdir -p "$dir" || die "cannot create session dir $dir"
  init_paths "$dir"
  if ! session_up; then
    # A child process, so the bring-up lock is not inherited by the program.
    "$0" up "$SD"
    session_up || die "the session in $SD went down right after coming up"
  fi
  wine_env
  exec "$WINE_LOADER" "$@"
}

cmd_status() {
  [ -d "$1" ] || return 1
  init_paths "$1"
  if session_up; then
    local holder=
    if [ -f "$HOLDER_PIDFILE" ]; then read -r holder <"$HOLDER_PIDFILE" || true; fi
    running "$holder" || holder="not running (GUI tests start slower)"
    echo "up on display :$DISPLAY_NUM (Xvfb $XVFB_PID, wineserver $SERVER_PID, desktop holder $holder)"
  else
    echo "down"
    return 1
  fi
}

if [ "${1-}" = watch ] && [ $# -eq 5 ]; then
  server_comm
  cmd_watch "$2" "$3" "$4" "$5"
  exit 0
fi
if [ "${1-}" = run ] && [ $# -ge 3 ]; then
  shift
  cmd_run "$@"
fi
[ $# -eq 2 ] || usage
case $1 in
  up) cmd_up "$2" ;;
  down) cmd_down "$2" ;;
  env) cmd_env "$2" ;;
  status) cmd_status "$2" ;;
  *) usage ;;
esac
