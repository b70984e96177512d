#!/usr/bin/env bash
# CTest's emulator for the Windows builds: runs one Windows program under Wine
# in a throwaway prefix that belongs to the build folder, so tests never touch
# the user's own Wine setup or each other's builds. The prefix is created on
# first use, under a lock, without the Mono and Gecko installers.
set -u
build_dir=${ORVANE_WINE_BUILD_DIR:-$PWD}
while [ ! -f "$build_dir/CMakeCache.txt" ] && [ "$build_dir" != / ]; do
  build_dir=$(dirname "$build_dir")
done
[ "$build_dir" = / ] && build_dir=$PWD
export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/.orvane-ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.orvane-ready" ]; then
      wineboot -i >/dev/null 2>&1
      wineserver -w
      # Further set-up of a fresh prefix (fonts and the like) lives beside
      # this script so that every build folder gets the same prefix.
      if [ -x "$(dirname "$0")/wine-prefix-setup.sh" ]; then
        "$(dirname "$0")/wine-prefix-setup.sh" "$WINEPREFIX" >/dev/null 2>&1
        wineserver -w
      fi
      touch "$WINEPREFIX/.orvane-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
