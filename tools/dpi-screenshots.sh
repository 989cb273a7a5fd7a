#!/usr/bin/env bash
# Screenshots of the main window and the mission editor at 144 and 192 dpi
# (150 and 200 per cent), each run in a Wine prefix of its own set to that
# dpi, with sample missions: docs/main-window-144.png, docs/editor-144.png,
# docs/main-window-192.png, docs/editor-192.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

cmake --build --preset windows --target Horavel >/dev/null
exe=$root/build/windows/bin/Horavel.exe

source tools/lib/wait-window.sh
source tools/lib/sample-missions.sh

# shot WINDOW-ID FILE: the window as it is on the screen.
shot() {
  local X Y WIDTH HEIGHT
  eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  DISPLAY=$display import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
}

for dpi in 144 192; do
  export HORAVEL_WINE_STATE=$root/build/wine-$dpi HORAVEL_WINE_DPI=$dpi HORAVEL_XVFB_SCREEN=2400x1600x24
  launcher=$root/cmake/wine-launcher.sh
  work=$root/build/dpi-$dpi
  rm -rf "$work"
  mkdir -p "$work"
  cp "$exe" "$work/Horavel.exe"
  write_sample_missions "$work/everyday.mis"
  write_sample_kept_missions "$work/missions.mis"

  "$launcher" --prepare
  display=$("$launcher" --display)
  "$launcher" "$work/Horavel.exe" </dev/null >"$work/horavel.log" 2>&1 &
  question=$(wait_window 'Horavel友情提示')
  DISPLAY=$display xdotool windowactivate --sync "$question" key Return 2>/dev/null ||
    DISPLAY=$display xdotool key Return
  main=$(wait_window '^MirolanHoravel$')
  sleep 2
  shot "$main" "$root/docs/main-window-$dpi.png"

  DISPLAY=$display xdotool windowactivate --sync "$main" key ctrl+Insert 2>/dev/null ||
    DISPLAY=$display xdotool key ctrl+Insert
  editor=$(wait_window '^添加任务$')
  sleep 2
  shot "$editor" "$root/docs/editor-$dpi.png"

  "$launcher" taskkill /f /im Horavel.exe >/dev/null 2>&1 || true
  "$launcher" --shutdown
  echo "dpi $dpi: docs/main-window-$dpi.png, docs/editor-$dpi.png"
done
