#!/usr/bin/env bash
# Lets this machine run Debian's 32-bit Wine loader: the kernel cannot execute
# 32-bit Linux programs itself, so qemu-i386 user emulation is registered with
# binfmt_misc for i386 ELF files. Needs root (or sudo), wine32:i386 and
# qemu-user-static (scripts/install-deps.sh with VARKEL_WITH_WINE32=1).
# Does nothing when the registration is already there. Exit status 0 when the
# 32-bit loader can be used afterwards, 1 otherwise.
set -uo pipefail

binfmt=/proc/sys/fs/binfmt_misc
entry=qemu-i386
qemu=/usr/bin/qemu-i386-static
loader=/usr/lib/wine/wine

# The i386 ELF header (executables and shared objects) and which bits of it count.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
# "F": qemu is opened now, so the registration keeps working inside chroots
# and mount namespaces.
rule=":$entry:M::$magic:$mask:$qemu:F"

say() { echo "enable-wine32: $*"; }

loader_runs() { "$loader" --version >/dev/null 2>&1; }

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo -n"

if [ ! -x "$loader" ] || [ ! -x "$qemu" ]; then
  say "wine32:i386 or qemu-user-static is missing (VARKEL_WITH_WINE32=1 scripts/install-deps.sh)"
  exit 1
fi

if [ -e "$binfmt/$entry" ]; then
  if loader_runs; then
    say "qemu-i386 is already registered"
    exit 0
  fi
  say "qemu-i386 is registered, but the 32-bit loader still does not run:"
  cat "$binfmt/$entry"
  exit 1
fi

if [ ! -e "$binfmt/register" ]; then
  $SUDO mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || {
    say "cannot mount binfmt_misc on $binfmt (needs root and a kernel with binfmt_misc)"
    exit 1
  }
fi

# Written by the shell that has the rights: the redirection must run as root too.
if ! echo "$rule" | $SUDO tee "$binfmt/register" >/dev/null 2>&1; then
  say "cannot register qemu-i386 with binfmt_misc"
  exit 1
fi

if loader_runs; then
  say "qemu-i386 registered: the 32-bit Wine loader runs"
  exit 0
fi
say "qemu-i386 registered, but the 32-bit Wine loader still does not run"
exit 1
