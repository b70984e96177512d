#!/usr/bin/env bash
# Can this machine run the 32-bit Windows programs (the 32-bit DLL's tests
# under Wine)? Some kernels run no 32-bit x86 programs at all; there QEMU's
# user-mode emulation can run them, through a binfmt_misc entry.
#   win32-support.sh probe   prints "native", "emulated" or the reason why
#                            not (exit 1); tries a real 32-bit program
#   win32-support.sh setup   as root: where 32-bit programs do not run, sets
#                            up the emulation (idempotent; one line of output
#                            when it changes anything)
set -u
w32=/usr/lib/wine/wine
entry=/proc/sys/fs/binfmt_misc/qemu-i386
qemu=/usr/bin/qemu-i386

# Starts the 32-bit Wine loader: the very program the tests need, and a
# 32-bit x86 ELF executable.
try32() {
  # Through bash's exec: execvp would hand a program the kernel refuses to
  # the shell as a script, and hide the refusal.
  try32_output=$(QEMU_RESERVED_VA=0xffff0000 timeout 120 bash -c 'exec "$0" --version' "$w32" 2>&1)
}

emulated() {
  [ -f "$entry" ] && head -n 1 "$entry" | grep -qx enabled
}

probe() {
  if [ ! -x "$w32" ]; then
    echo "32-bit Wine (wine32:i386) is not installed"
    return 1
  fi
  if try32; then
    if emulated; then echo emulated; else echo native; fi
    return 0
  fi
  if emulated; then
    echo "this machine cannot run 32-bit programs (its QEMU emulation entry did not start Wine's 32-bit loader)"
  else
    echo "this machine cannot run 32-bit programs"
  fi
  return 1
}

setup() {
  [ -x "$w32" ] || return 0
  try32 && return 0
  # Only a kernel that refuses the program format needs the emulation; any
  # other failure is not ours to paper over.
  if ! grep -q 'Exec format error' <<<"$try32_output"; then
    echo "win32-support: Wine's 32-bit loader does not start: $(head -n 1 <<<"$try32_output")" >&2
    return 0
  fi
  if [ "$(id -u)" != 0 ]; then
    echo "win32-support: this kernel runs no 32-bit programs; as root, scripts/win32-support.sh setup would emulate them" >&2
    return 0
  fi
  local did=()
  if [ ! -x "$qemu" ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >/dev/null 2>&1
    apt-get install -y -qq --no-install-recommends qemu-user >/dev/null 2>&1 && did+=("installed qemu-user")
  fi
  if [ ! -f /proc/sys/fs/binfmt_misc/register ]; then
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null && did+=("mounted binfmt_misc")
  fi
  if [ -x "$qemu" ] && [ -f /proc/sys/fs/binfmt_misc/register ] && [ ! -f "$entry" ]; then
    # i386 ELF executables and shared objects (e_ident class 32-bit, little
    # endian; e_machine 3). F: the kernel opens QEMU now, so it is found in
    # any mount namespace later.
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' \
      >/proc/sys/fs/binfmt_misc/register 2>/dev/null && did+=("registered $qemu for i386 programs")
  fi
  if [ -f "$entry" ] && ! emulated; then
    echo 1 >"$entry" 2>/dev/null && did+=("enabled the qemu-i386 entry")
  fi
  if try32; then
    [ ${#did[@]} -gt 0 ] && echo "win32-support: this kernel runs no 32-bit programs, so 32-bit Windows tests will run under QEMU user-mode emulation ($(IFS=,; echo "${did[*]}" | sed 's/,/, /g'))" >&2
  else
    echo "win32-support: this kernel runs no 32-bit programs and QEMU user-mode emulation could not be set up; 32-bit Windows tests will be skipped" >&2
  fi
  return 0
}

case ${1:-} in
  probe) probe ;;
  setup) setup ;;
  *) echo "usage: win32-support.sh probe|setup" >&2; exit 2 ;;
esac
