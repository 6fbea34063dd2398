# Shared by the scripts that run the programs on a virtual X server, and the Windows one
# under Wine. Source it, then:
#   open_work          a scratch folder in $work, removed with the desktop at exit
#   start_x WORK       starts Xvfb on a free display and exports DISPLAY (its log in WORK)
#   start_wine WORK    a fresh Wine prefix in WORK/prefix, exported as WINEPREFIX
#   stop_desktop       ends both (call it from the script's EXIT trap)
# $wine and $wineserver name Wine's own programs.

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine
wineserver=${wine%wine64}wineserver
[ -x "$wineserver" ] || wineserver=wineserver
desktop_x_pid=

start_x() {
  local work=$1 display=90
  while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
  # -noreset: without it the server resets whenever its last client leaves, and refuses
  # the next one meanwhile.
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
  desktop_x_pid=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  [ -e "/tmp/.X11-unix/X$display" ] || { echo "Xvfb did not start on :$display" >&2; return 1; }
  export DISPLAY=:$display
}

start_wine() {
  local work=$1
  # No Mono or Gecko prompts, and no menu entries written into the host's desktop.
  export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
  timeout 120 "$wine" wineboot -i >"$work/wineboot.log" 2>&1 ||
    { echo "wineboot failed: $(cat "$work/wineboot.log")" >&2; return 1; }
  # Wine draws the frames itself: with no window manager it would otherwise wait two
  # seconds for every closed box to be withdrawn. The caption buttons need Marlett.
  timeout 30 "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
}

open_work() {
  work=$(mktemp -d)
  trap 'stop_desktop; rm -rf "$work"' EXIT
}

stop_desktop() {
  # A wineserver or an X server that has already exited is no failure.
  [ -n "${WINEPREFIX:-}" ] && { "$wineserver" -k 2>/dev/null || true; }
  [ -n "$desktop_x_pid" ] && { kill "$desktop_x_pid" 2>/dev/null || true; }
  return 0
}
