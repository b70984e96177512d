#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and
# the machine lacks. Safe to run again: a machine that has everything is left
# alone after a few quick dpkg queries.
set -euo pipefail

want=(
  cmake g++ make pkg-config googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64 wine32:i386
  xvfb xauth fonts-liberation
  # Wine's Direct2D draws through OpenGL, in both bitnesses.
  libgl1 libgl1-mesa-dri libglx-mesa0 libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386
  libsndfile1-dev libcairo2-dev
  # The native editor's X11 window, and its tests' real input and resource
  # counts.
  libx11-dev libxtst-dev libxres-dev
)

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
# Kernels that run no 32-bit programs get QEMU's user-mode emulation for the
# 32-bit Windows tests (or the tests are skipped, with the reason, where it
# cannot be had). Checked on every run: the emulation's kernel entry does not
# survive a reboot.
win32_support() { "$(dirname "$0")/win32-support.sh" setup; }

if [ ${#missing[@]} -eq 0 ]; then
  win32_support
  exit 0
fi

if [ "$(id -u)" != 0 ]; then
  echo "install-deps: missing packages: ${missing[*]}" >&2
  echo "install-deps: run this script as root (or install them yourself)" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
win32_support
