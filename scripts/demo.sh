#!/usr/bin/env bash
# The main job: show the plug-in at work. Loads each of the three binaries in
# the test host through its entry point (the DLLs under Wine) and prints what
# the plug-in reports.
set -euo pipefail
cd "$(dirname "$0")/.."
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
run() {
  local build=$1 host=$2 plugin=$3
  echo "=== $plugin"
  if [ "$build" = native ]; then
    XDG_CONFIG_HOME="$PWD/build/native/demo-config" "build/native/tools/vsthost/$host" "build/native/plugin/$plugin"
  else
    (cd "build/$build/plugin" && ORVANE_WINE_BUILD_DIR="$PWD/.." ../../../cmake/wine-run.sh "../tools/vsthost/$host" "$plugin")
  fi
  echo
}
run native orvane-host "ZEL Orvane.so"
run win64 orvane-host.exe "ZEL Orvane_x64.dll"
run win32 orvane-host.exe "ZEL Orvane.dll"
