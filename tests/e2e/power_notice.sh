#!/usr/bin/env bash
# End to end: the notice before a power-off, with the real Horavel.exe under
# Wine. Two "关闭计算机" missions, ten seconds' notice (config.ini
# [other] notice=10):
#   the first is answered "取消" (a click on it): no power-off is asked for,
#   then or later;
#   the second is left unanswered: the power-off is asked for once its ten
#   seconds have passed, not before.
# A power-off request under Wine starts "wineboot --kill --shutdown", which
# ends every program of the prefix: the program runs in a prefix and on a
# display of their own, and WINEDEBUG=+process shows the request in its
# log as wineboot being started.
#
#   power_notice.sh HORAVEL_EXE WORK_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
launcher=$root/cmake/wine-launcher.sh
exe=$1
mkdir -p "$2"
work=$(cd "$2" && pwd)

export HORAVEL_WINE_STATE=$work/wine
folder=$work/program
log=$work/horavel.log
rm -rf "$folder" "$log"
mkdir -p "$folder"
cp "$exe" "$folder/Horavel.exe"
printf '[other]\r\nnotice=10\r\n' >"$folder/config.ini"

fail() {
  echo "FAIL: $*"
  exit 1
}
"$launcher" --prepare
display=$("$launcher" --display)
# Whatever happens, neither the program nor this prefix's Wine outlives the test.
trap '"$launcher" --shutdown' EXIT

source "$root/tools/lib/wait-window.sh"
# One line for each program the program starts.
request='CreateProcessInternalW .*wineboot\.exe --[a-z -]*shutdown'
requested() { grep -q "$request" "$log" 2>/dev/null; }

# The missions' seconds are fixed before the program starts; the prefix is
# up by now, so the program needs a few seconds at most.
first_s=$(($(date +%s) + 8))
second_s=$((first_s + 14))
{
  printf '关闭计算机$关闭计算机$2000/1/1$%s\r\n' "$(date -d "@$first_s" +%H:%M:%S)"
  printf '关闭计算机$关闭计算机$2000/1/1$%s\r\n' "$(date -d "@$second_s" +%H:%M:%S)"
} | iconv -f UTF-8 -t CP936 >"$folder/everyday.mis"

WINEDEBUG=-all,+process "$launcher" "$folder/Horavel.exe" </dev/null >/dev/null 2>"$log" &

question=$(wait_window 'Horavel友情提示') || fail "no start question"
DISPLAY=$display xdotool windowactivate --sync "$question" key Return 2>/dev/null ||
  DISPLAY=$display xdotool key Return
[ "$(date +%s%3N)" -lt $((first_s * 1000 - 500)) ] || fail "the program came up too late for its missions"

# The first notice: answered "取消".
notice=$(wait_window '任务即将执行') || fail "no notice for the power-off due at $(date -d "@$first_s" +%T)"
# A click on 取消: the notice's client area is 360 x 116 at 96 dpi with the
# button at (264, 80), 84 x 25, inside a frame of equal sides and a caption.
eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$notice" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
frame=$(((WIDTH - 360) / 2))
DISPLAY=$display xdotool mousemove $((X + frame + 306)) $((Y + HEIGHT - frame - 116 + 92)) click 1
for _ in $(seq 30); do
  [ -z "$(visible_window '任务即将执行')" ] && break
  sleep 0.1
done
[ -z "$(visible_window '任务即将执行')" ] || fail "the notice did not go at 取消"
answered=$(date +%s)

# The second notice, left alone. Until its ten seconds are over, and after
# the first notice's would have been, nothing is asked of Windows.
notice=$(wait_window '任务即将执行') || fail "no notice for the power-off due at $(date -d "@$second_s" +%T)"
shown_ms=$(date +%s%3N)
"$launcher" --screenshot "$work/notice.png" || true
while [ "$(date +%s%3N)" -lt $((shown_ms + 9000)) ]; do
  requested && fail "the power-off was asked for $(( ($(date +%s%3N) - shown_ms) / 1000 )) s into a 10 s notice" \
    "(the first notice was answered 取消 at $(date -d "@$answered" +%T))"
  sleep 0.2
done
for _ in $(seq 100); do
  requested && break
  sleep 0.1
done
requested || fail "no power-off asked for after the notice's ten seconds"
after_ms=$(($(date +%s%3N) - shown_ms))
[ "$(grep -c "$request" "$log")" -eq 1 ] || fail "the power-off was asked for more than once"
echo "ok: 取消 asked for nothing; the unanswered notice asked for the power-off after $((after_ms / 1000)).$(printf '%03d' $((after_ms % 1000))) s:"
grep -m1 "$request" "$log"
