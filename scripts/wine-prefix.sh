# Makes a Wine prefix fit for running FerroWinder's windows unattended.
# Sourced by scripts/test-windows and scripts/screenshots; needs WINEPREFIX.
#
# setup_wine_prefix LOG [null]
#   "null": no display at all (Wine's null graphics driver: a 1024x768, 96 dpi
#   screen in memory), for the tests; otherwise the X display in DISPLAY.
setup_wine_prefix() {
  local log=$1 driver=${2:-x11}
  export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  # File names and arguments pass between Linux and Wine in UTF-8: the tests
  # use folders named in more than one script.
  export LANG=C.UTF-8
  # Wine's helper processes inherit stderr and keep a pipe open, so all their
  # output goes to a file; wineserver -w waits until the prefix is ready.
  {
    timeout 180 wine wineboot -i
    if [ "$driver" = null ]; then
      wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
    else
      # Without a window manager: Wine draws frames and title bars itself,
      # and keyboard input reaches its windows.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    fi
    # A crash would open Wine's crash dialog, which waits forever unseen.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
    # Text sizes depend on the dpi: the same 96 whatever the X server says.
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f
  } >"$log" 2>&1 </dev/null || { cat "$log"; return 1; }
  timeout 120 wineserver -w
  # Wine does not load the fonts of the fonts-wine package from where Debian
  # puts them; without them Tahoma and "MS Shell Dlg" fall back to other faces.
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
}
