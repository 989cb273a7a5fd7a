#!/usr/bin/env bash
# Screenshots of the four looks under Wine, with sample missions only: the
# main window (docs/look-<look>.png), the mission editor on the reminder
# page (docs/editor-<look>.png), the notice before a power-off in the lower
# right corner of the desktop (docs/notice-<look>.png), one dialog per
# look (about box, settings, system time, release history; and the
# daily-mission maintenance dialog in the system look; the history window
# and the notice of missed missions) and the reminder popup over the
# desktop (docs/popup.png).
# The windows are shown by the disabled screenshot test of
# settings_dialog_test, in a Wine virtual desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

cmake --build --preset windows --target settings_dialog_test >/dev/null
test_exe=$root/build/windows/bin/settings_dialog_test.exe
launcher=$root/cmake/wine-launcher.sh
# A fresh display: the virtual desktop does not paint over what earlier
# programs left on it.
"$launcher" --shutdown
"$launcher" --prepare
display=$("$launcher" --display)

source tools/lib/wait-window.sh

# shot TITLE FILE: the window as it is on the screen. Inside the virtual
# desktop X reports sizes but not places; the main window stands at
# (198, 113), 696 x 480, and every dialog is centred on it.
shot() {
  local id WIDTH HEIGHT
  id=$(wait_window "$1")
  sleep 2.5  # painted, and the animation running
  eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$id" | grep -E '^(WIDTH|HEIGHT)=')"
  DISPLAY=$display import -window root \
    -crop "${WIDTH}x${HEIGHT}+$((198 + (696 - WIDTH) / 2))+$((113 + (480 - HEIGHT) / 2))" +repage "$2"
}

# show LOOK DIALOG TITLE FILE
show() {
  HORAVEL_LOOK=$1 HORAVEL_DIALOG=$2 "$launcher" explorer /desktop=shell,1280x800 "$test_exe" \
    --gtest_also_run_disabled_tests --gtest_filter='*ShownForAScreenshot*' </dev/null >/dev/null 2>&1 &
  local pid=$!
  shot "$3" "$4"
  wait "$pid" || true
  echo "$4"
}

# The popup in the screen's lower right corner, over the desktop and the
# taskbar (which shows no button of its own for it).
HORAVEL_LOOK=0 HORAVEL_DIALOG=popup "$launcher" explorer /desktop=shell,1280x800 "$test_exe" \
  --gtest_also_run_disabled_tests --gtest_filter='*ShownForAScreenshot*' </dev/null >/dev/null 2>&1 &
pid=$!
wait_window '^友情提示:$' >/dev/null
sleep 2.5
DISPLAY=$display import -window root -crop 680x500+600+300 +repage docs/popup.png
wait "$pid" || true
echo docs/popup.png

# notice LOOK FILE: the lower right of the desktop, where the notice shows
# beside the main window.
notice() {
  HORAVEL_LOOK=$1 HORAVEL_DIALOG=notice "$launcher" explorer /desktop=shell,1280x800 "$test_exe" \
    --gtest_also_run_disabled_tests --gtest_filter='*ShownForAScreenshot*' </dev/null >/dev/null 2>&1 &
  local pid=$!
  wait_window '^任务即将执行$' >/dev/null
  sleep 2.5
  DISPLAY=$display import -window root -crop 600x300+680+500 +repage "$2"
  wait "$pid" || true
  echo "$2"
}

looks=(msn vista cool system)
dialogs=(about setup time history)
titles=('^关于程序$' '^系统设置$' '^系统时间设置$' '^升级历史$')
files=(about setup systemtime shengji)
for i in 0 1 2 3; do
  show "$i" none '^MirolanHoravel$' "docs/look-${looks[$i]}.png"
  show "$i" editor '^添加任务$' "docs/editor-${looks[$i]}.png"
  notice "$i" "docs/notice-${looks[$i]}.png"
  show "$i" "${dialogs[$i]}" "${titles[$i]}" "docs/${files[$i]}.png"
done
show 3 daily '^每日执行任务维护$' docs/daily.png
show 0 records '^执行记录$' docs/history.png
show 1 missed '^错过的任务$' docs/missed.png
