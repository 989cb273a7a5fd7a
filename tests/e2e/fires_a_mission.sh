#!/usr/bin/env bash
# End to end: Horavel.exe under Wine with an everyday.mis beside it holding a
# "执行程序" mission due a few seconds from now. The start question is
# answered Yes; the mission must run its program (which writes marker.txt)
# in its own second. Leaves a screenshot of the running program.
#
#   fires_a_mission.sh HORAVEL_EXE MARKER_WRITER_EXE WORK_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
launcher=$root/cmake/wine-launcher.sh
exe=$1 writer=$2 work=$3

rm -rf "$work"
folder=$work/任务测试
mkdir -p "$folder"
cp "$exe" "$folder/Horavel.exe"
cp "$writer" "$folder/写标记.exe"

"$launcher" --prepare
display=$("$launcher" --display)

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
due=$(date -d '+14 seconds' +%H:%M:%S)
{
  printf '执行程序$%s$2000/1/1$%s\r\n' "$(winpath "$folder/写标记.exe")" "$due"
  printf '提示消息$该起床了!$2000/1/1$07:00:00\r\n'
  printf '打开网页$http://www.example.org/$2000/1/1$12:30:00\r\n'
  printf '关闭计算机$关闭计算机$2000/1/1$23:30:00\r\n'
} | iconv -f UTF-8 -t CP936 >"$folder/everyday.mis"

"$launcher" "$folder/Horavel.exe" </dev/null >"$work/horavel.log" 2>&1 &
# Whatever happens, the program does not outlive the test.
trap '"$launcher" taskkill /f /im Horavel.exe >/dev/null 2>&1 || true' EXIT

# The start question comes before the main window; Return answers Yes.
question=""
for _ in $(seq 60); do
  question=$(DISPLAY=$display xdotool search --name 'Horavel友情提示' 2>/dev/null | head -n1 || true)
  [ -n "$question" ] && break
  sleep 0.5
done
if [ -z "$question" ]; then
  echo "FAIL: no start question"
  exit 1
fi
DISPLAY=$display xdotool windowactivate --sync "$question" key Return 2>/dev/null ||
  DISPLAY=$display xdotool key Return

marker=$folder/marker.txt
for _ in $(seq 60); do
  [ -f "$marker" ] && break
  sleep 0.5
done
sleep 1
"$launcher" --screenshot "$work/running.png" || true

if [ ! -f "$marker" ]; then
  echo "FAIL: the mission due at $due did not run its program"
  exit 1
fi
fired=$(date -r "$marker" +%H:%M:%S)
# Never before the mission's second; a loaded machine may take Wine a few
# seconds more to start the program.
due_s=$(date -d "$due" +%s)
fired_s=$(date -d "$fired" +%s)
if [ "$fired_s" -lt "$due_s" ] || [ "$fired_s" -gt $((due_s + 4)) ]; then
  echo "FAIL: due at $due, ran at $fired"
  exit 1
fi
echo "ok: due at $due, ran at $fired; screenshot $work/running.png"
