#!/bin/sh
# Usage: wine-run.sh 32|64 PREFIX PROGRAM [ARG...]
# Runs a Windows program of the given width under Wine in PREFIX, which is
# created once (about 15 s) and reused by every later run.
bits=$1 WINEPREFIX=$2; shift 2
# Wine takes only an absolute prefix.
case $WINEPREFIX in /*) ;; *) WINEPREFIX=$PWD/$WINEPREFIX ;; esac
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Debian's wine command prefers the 32-bit loader even for 64-bit programs,
# and that loader cannot start at all where the kernel runs no 32-bit code.
wine=wine
if [ "$bits" = 64 ]; then
  for w in /usr/lib/wine/wine64 "$(command -v wine64)"; do
    if [ -x "$w" ]; then wine=$w; break; fi
  done
  export WINELOADER=$wine
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot.exe -i >/dev/null 2>&1
  # Without a window manager on the test display, Wine waits two seconds for
  # each managed window to be withdrawn; unmanaged windows go at once.
  "$wine" reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
fi
# Wine draws with fonts of its own (Marlett gives the title bar's buttons
# their symbols). Debian's fonts-wine keeps them in /usr/share/wine/fonts,
# where this Wine does not look for them, so the prefix gets a copy.
fonts=/usr/share/wine/fonts
if [ -d "$fonts" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
  cp "$fonts"/* "$WINEPREFIX/drive_c/windows/Fonts/"
fi
exec "$wine" "$@"
