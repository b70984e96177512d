#!/usr/bin/env bash
# CTest's emulator for the Windows builds: runs one Windows program under Wine
# in a throwaway prefix that belongs to the build folder, so tests never touch
# the user's own Wine setup or each other's builds. The prefix is created on
# first use, under a lock, without the Mono and Gecko installers.
#   wine-run.sh PROGRAM [ARGS...]   run a program (its bitness picks the loader)
#   wine-run.sh --prepare [win32|win64]
#                                   only create the prefix (scripts/run-tests.sh
#                                   does this before the clock of any test runs)
#
# 64-bit programs go straight to Wine's 64-bit loader. Debian's `wine` always
# starts the 32-bit loader first and only that one hands 64-bit programs on,
# so on a kernel that runs no 32-bit programs nothing at all would start.
# 32-bit programs go through `wine`; where the kernel needs QEMU's user-mode
# emulation for them (scripts/win32-support.sh sets it up), QEMU must reserve
# the whole 32-bit guest address space up front: otherwise its own host
# mappings may land where Wine needs fixed addresses (the shared user data
# page at 0x7ffe0000), and Wine fails at start "to map the shared user data"
# depending on where address-space randomisation put QEMU that time.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build_dir=${ORVANE_WINE_BUILD_DIR:-$PWD}
while [ ! -f "$build_dir/CMakeCache.txt" ] && [ "$build_dir" != / ]; do
  build_dir=$(dirname "$build_dir")
done
[ "$build_dir" = / ] && build_dir=$PWD
build_dir=$(cd "$build_dir" && pwd)
export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# The bitness of a Windows program, from its PE header's machine field.
pe_arch() {
  local f=$1 off sig machine
  [ -f "$f" ] || return 1
  off=$(od -An -tu4 -j60 -N4 "$f" 2>/dev/null | tr -d ' ')
  [ -n "$off" ] || return 1
  sig=$(od -An -tx1 -j"$off" -N4 "$f" 2>/dev/null | tr -d ' ')
  [ "$sig" = 50450000 ] || return 1
  machine=$(od -An -tx2 -j$((off + 4)) -N2 "$f" 2>/dev/null | tr -d ' ')
  case $machine in
    8664) echo win64 ;;
    014c) echo win32 ;;
    *) return 1 ;;
  esac
}

# The bitness of the build folder, for what is not a program file of its own
# (wineboot, regedit): the toolchain it was configured with.
build_arch() {
  if grep -q 'toolchain-mingw32' "$build_dir/CMakeCache.txt" 2>/dev/null; then
    echo win32
  else
    echo win64
  fi
}

use_loader() {
  if [ "$1" = win64 ]; then
    local w64=/usr/lib/wine/wine64
    [ -x "$w64" ] || w64=$(command -v wine64 || echo wine64)
    export WINELOADER=$w64
    loader=("$w64")
  else
    export QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0xffff0000}
    loader=(wine)
  fi
  export ORVANE_WINE_LOADER=${loader[0]}
}

prepare_prefix() {
  [ -f "$WINEPREFIX/.orvane-ready" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.orvane-ready" ]; then
      "${loader[@]}" wineboot -i >/dev/null 2>&1
      wineserver -w
      # Further set-up of a fresh prefix (fonts and the like) lives beside
      # this script so that every build folder gets the same prefix.
      if [ -x "$here/wine-prefix-setup.sh" ]; then
        "$here/wine-prefix-setup.sh" "$WINEPREFIX" >/dev/null 2>&1
        wineserver -w
      fi
      [ -f "$WINEPREFIX/system.reg" ] && touch "$WINEPREFIX/.orvane-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
  [ -f "$WINEPREFIX/.orvane-ready" ]
}

if [ "${1:-}" = --prepare ]; then
  use_loader "${2:-$(build_arch)}"
  if ! prepare_prefix; then
    echo "wine-run: could not create the Wine prefix $WINEPREFIX" >&2
    exit 1
  fi
  exit 0
fi

arch=$(pe_arch "${1:-}") || arch=$(build_arch)
use_loader "$arch"
prepare_prefix
exec "${loader[@]}" "$@"
