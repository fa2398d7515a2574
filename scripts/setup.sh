#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build UninstallZolt.exe and
# run its tests under Wine. Safe to run again: it only touches apt when a
# package is missing.
set -euo pipefail

# Installed without recommends, so the few recommended packages the build or
# the tests rely on are named here.
packages=(
  cmake
  ninja-build
  g++-mingw-w64-i686
  g++-mingw-w64-x86-64
  googletest
  # Wine: the 64-bit loader, and the 32-bit one (from the i386 architecture)
  # that runs the shipping 32-bit exe under WoW64, as 64-bit Windows does.
  wine64
  wine32:i386
  # Wine's own replacements for Tahoma, Marlett and friends: dialogs lay out wrongly without them.
  fonts-wine
  # A headless X server for the windows the tests open.
  xvfb
  xauth
  # Chinese glyphs for the UI, and a system font cache built once at install time.
  fonts-wqy-zenhei
  fontconfig
  # A Song face with bitmaps for small sizes, standing in for the dialogs' 宋体 under Wine.
  fonts-arphic-uming
  # zh_CN.UTF-8, without which Wine's ANSI code page is 1252 instead of 936.
  locales
  # Screenshots of test windows.
  imagemagick
  # The parsing code built for Linux: its logic tests under ASan and UBSan
  # (gcc, whose GBK exec charset matches the product's texts) and its fuzz
  # targets (clang with libFuzzer; the runtimes come with libclang-rt, the
  # symbolizer for readable reports with llvm).
  g++
  clang-14
  libclang-rt-14-dev
  llvm-14
  # Static analysis of the product sources.
  cppcheck
  # as and ld, which make the tiny i386 program that tells whether this
  # machine runs 32-bit x86 code (tests/wine/x86-32.sh).
  binutils
)
# libwine only recommends these, but without them Wine's X11 driver loses
# XRender text, cursors, XInput and XRandR, and bcrypt/secur32 lose crypto;
# each Wine, 64- and 32-bit, loads its own.
for lib in libxrender1 libxcursor1 libxi6 libxrandr2 libxinerama1 libxcomposite1 libxfixes3 libxxf86vm1 \
  libgnutls30 libdbus-1-3; do
  packages+=("$lib" "$lib:i386")
done

log() {
  echo "setup: $*"
}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    echo "setup: error: need root (or sudo) to run: $*" >&2
    exit 1
  fi
}

# Package mirrors fail now and then; a second try is usually enough.
retry() {
  local attempt
  for attempt in 1 2 3; do
    if "$@"; then
      return 0
    fi
    log "attempt $attempt failed: $*"
    sleep $((attempt * 5))
  done
  return 1
}

# The i386 packages come from an architecture a fresh machine has not enabled.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  log "enabling the i386 architecture"
  as_root dpkg --add-architecture i386
fi

# One dpkg-query for all: it lists the installed ones (and complains about
# the rest), native ones by bare name, foreign ones as name:arch.
installed=" $(dpkg-query -W -f='${db:Status-Abbrev} ${Package}:${Architecture}\n' "${packages[@]}" 2>/dev/null |
  awk -v native="$(dpkg --print-architecture)" \
    '$1 == "ii" { name = $2; sub(":(" native "|all)$", "", name); printf "%s ", name }' || true)"
missing=()
for pkg in "${packages[@]}"; do
  case $installed in
    *" $pkg "*) ;;
    *) missing+=("$pkg") ;;
  esac
done

if [ ${#missing[@]} -eq 0 ]; then
  log "all ${#packages[@]} packages already installed"
else
  log "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  retry as_root apt-get update
  retry as_root apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Enabled in locale.gen as well, so a later locale-gen (e.g. on a locales
# upgrade) keeps it instead of dropping it.
if ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
  log "enabling zh_CN.UTF-8 in /etc/locale.gen"
  if grep -q '^# *zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    as_root sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  else
    echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  fi
fi
if locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
  log "locale zh_CN.UTF-8 present"
else
  log "generating locale zh_CN.UTF-8"
  as_root locale-gen
  locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8' || {
    echo "setup: error: locale zh_CN.UTF-8 still missing after locale-gen" >&2
    exit 1
  }
fi

log "done"
