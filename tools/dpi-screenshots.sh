#!/usr/bin/env bash
# Screenshots of the main window, the mission editor and the notice before
# a power-off at 144 and 192 dpi (150 and 200 per cent), each run in a Wine
# prefix of its own set to that dpi, with sample missions:
# docs/main-window-144.png, docs/editor-144.png, docs/notice-144.png,
# docs/editor-192.png, docs/notice-192.png (the notice shown by the disabled
# screenshot test of settings_dialog_test); docs/main-window-192.png is the
# whole of a 1600 x 1000 virtual desktop, on which the main window must keep
# inside the work area; docs/popup-144.png, the reminder popup over a
# virtual desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

cmake --build --preset windows --target Horavel settings_dialog_test >/dev/null
exe=$root/build/windows/bin/Horavel.exe
test_exe=$root/build/windows/bin/settings_dialog_test.exe

source tools/lib/wait-window.sh
source tools/lib/sample-missions.sh

# shot WINDOW-ID FILE: the window as it is on the screen.
shot() {
  local X Y WIDTH HEIGHT
  eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  DISPLAY=$display import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
}

# A fresh program folder with the sample missions.
sample_folder() {
  rm -rf "$1"
  mkdir -p "$1"
  cp "$exe" "$1/Horavel.exe"
  write_sample_missions "$1/everyday.mis"
  write_sample_kept_missions "$1/missions.mis"
}

for dpi in 144 192; do
  export HORAVEL_WINE_STATE=$root/build/wine-$dpi HORAVEL_WINE_DPI=$dpi HORAVEL_XVFB_SCREEN=2400x1600x24
  launcher=$root/cmake/wine-launcher.sh
  work=$root/build/dpi-$dpi
  sample_folder "$work"

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

  HORAVEL_LOOK=0 HORAVEL_DIALOG=notice "$launcher" "$test_exe" --gtest_also_run_disabled_tests \
    --gtest_filter='*ShownForAScreenshot*' </dev/null >"$work/notice.log" 2>&1 &
  pid=$!
  notice=$(wait_window '^任务即将执行$')
  sleep 2
  shot "$notice" "$root/docs/notice-$dpi.png"
  wait "$pid" || true

  "$launcher" --shutdown
  echo "dpi $dpi: docs/main-window-$dpi.png, docs/editor-$dpi.png, docs/notice-$dpi.png"
done

# At 200 per cent on a small screen: the main window kept inside the work
# area, above the virtual desktop's taskbar.
export HORAVEL_WINE_STATE=$root/build/wine-192-small HORAVEL_WINE_DPI=192 HORAVEL_XVFB_SCREEN=1600x1000x24
launcher=$root/cmake/wine-launcher.sh
work=$root/build/dpi-192-small
sample_folder "$work"
"$launcher" --prepare
display=$("$launcher" --display)
"$launcher" explorer /desktop=shell,1600x1000 "$work/Horavel.exe" </dev/null >"$work/horavel.log" 2>&1 &
question=$(wait_window 'Horavel友情提示')
DISPLAY=$display xdotool key Return
wait_window '^MirolanHoravel$' >/dev/null
sleep 3
DISPLAY=$display import -window root "$root/docs/main-window-192.png"
"$launcher" taskkill /f /im Horavel.exe >/dev/null 2>&1 || true
"$launcher" --shutdown
echo "docs/main-window-192.png (1600 x 1000)"

# The reminder popup at 150 per cent, over a virtual desktop.
cmake --build --preset windows --target settings_dialog_test >/dev/null
export HORAVEL_WINE_STATE=$root/build/wine-144 HORAVEL_WINE_DPI=144 HORAVEL_XVFB_SCREEN=2400x1600x24
"$launcher" --prepare
display=$("$launcher" --display)
HORAVEL_LOOK=0 HORAVEL_DIALOG=popup "$launcher" explorer /desktop=shell,1920x1200 \
  "$root/build/windows/bin/settings_dialog_test.exe" --gtest_also_run_disabled_tests \
  --gtest_filter='*ShownForAScreenshot*' </dev/null >/dev/null 2>&1 &
pid=$!
wait_window '^友情提示:$' >/dev/null
sleep 2.5
DISPLAY=$display import -window root -crop 900x760+1020+440 +repage "$root/docs/popup-144.png"
wait "$pid" || true
"$launcher" --shutdown
echo docs/popup-144.png
