#!/usr/bin/env bash
# Answers one question for every script and the Wine session: does this
# machine run 32-bit x86 code? Some cannot at all (the kernel's IA-32
# emulation is off: an i386 program fails with "Exec format error", and no
# Wine runs 32-bit Windows code there); which kind a build lands on is chance.
# It finds out by trying: it starts a tiny static i386 program.
#
# Prints "yes", or "no: <why>" (to be read after "cannot run 32-bit x86 code"),
# and exits 0 or 1.
#   UZ_NO_X86_32=1   answers "no" on any machine, to try that road anywhere.
#   UZ_X86_32        the answer a parent script already found; passed on as is.
set -u

if [ -n "${UZ_NO_X86_32:-}" ] && [ "$UZ_NO_X86_32" != 0 ]; then
  echo "no: UZ_NO_X86_32 is set, so taken as none"
  exit 1
fi
case ${UZ_X86_32:-} in
  yes) echo yes; exit 0 ;;
  no:*) echo "$UZ_X86_32"; exit 1 ;;
esac

# Registered with binfmt_misc, an emulator (qemu-user) would start our i386
# program, but each Wine process then takes about a minute: no way to work.
for entry in /proc/sys/fs/binfmt_misc/*; do
  [ -f "$entry" ] || continue
  grep -qx enabled "$entry" 2>/dev/null || continue
  if grep -Eq '^magic 7f454c4601.{30}0[3-6]00' "$entry" 2>/dev/null; then
    echo "no: 32-bit x86 code runs here only under emulation (binfmt_misc ${entry##*/}), about a minute per Wine process"
    exit 1
  fi
done

command -v as >/dev/null && command -v ld >/dev/null || {
  echo "no: cannot tell, the assembler and linker (binutils) are missing to make an i386 program"
  exit 1
}
scratch=$(mktemp -d) || { echo "no: cannot tell, no scratch folder"; exit 1; }
trap 'rm -rf "$scratch"' EXIT
# exit(0) through the 32-bit system call gate.
printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$scratch/probe.s"
as --32 -o "$scratch/probe.o" "$scratch/probe.s" 2>/dev/null &&
  ld -m elf_i386 -static -o "$scratch/probe" "$scratch/probe.o" 2>/dev/null || {
  echo "no: cannot tell, binutils could not make an i386 program"
  exit 1
}
# Started by the shell itself: execvp (as in timeout) would hand a file the
# kernel refuses to /bin/sh as a script.
error=$("$scratch/probe" 2>&1) && { echo yes; exit 0; }
status=$?
case $error in
  *"Exec format error"*) why="an i386 program fails to start: Exec format error" ;;
  *) why="an i386 program ended with status $status${error:+: ${error##*: }}" ;;
esac
echo "no: $why"
exit 1
