#!/usr/bin/env bash
# Run once by wine-run.sh on a fresh Wine prefix (argument: the prefix).
# Wine's DirectWrite does not see the system's fontconfig fonts, and the
# toolkit's standard fonts are "Arial": copy Liberation Sans (metrically the
# same) into the prefix's Fonts folder, register it, and let Wine replace
# "Arial" by it. Harmless when the fonts are missing: text then falls back.
# With ORVANE_WINE_PLAIN_FONTS=1 the prefix stays as Wine makes it, as a
# user's own prefix usually is: no Arial and nothing standing in for it.
set -u
prefix=${1:?usage: wine-prefix-setup.sh PREFIX}
[ "${ORVANE_WINE_PLAIN_FONTS:-0}" = 1 ] && exit 0
export WINEPREFIX=$prefix
# The loader that made the prefix (wine-run.sh passes it on): the 64-bit one
# for 64-bit builds, so that no 32-bit program is needed here.
wine=${ORVANE_WINE_LOADER:-wine}
fonts_dir=$prefix/drive_c/windows/Fonts
src=/usr/share/fonts/truetype/liberation
mkdir -p "$fonts_dir"
reg=$(mktemp --suffix=.reg)
{
  printf 'REGEDIT4\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]\r\n'
  for style in Regular Bold Italic BoldItalic; do
    f=LiberationSans-$style.ttf
    [ -f "$src/$f" ] || continue
    cp -f "$src/$f" "$fonts_dir/$f"
    case $style in
      Regular) name="Liberation Sans" ;;
      BoldItalic) name="Liberation Sans Bold Italic" ;;
      *) name="Liberation Sans $style" ;;
    esac
    printf '"%s (TrueType)"="%s"\r\n' "$name" "$f"
  done
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  printf '"Arial"="Liberation Sans"\r\n'
} >"$reg"
"$wine" regedit /S "$("$wine" winepath -w "$reg")"
wineserver -w
rm -f "$reg"
