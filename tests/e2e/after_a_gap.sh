#!/usr/bin/env bash
# End to end across a gap: Horavel.exe under Wine on a faked clock
# (libfaketime, a relative offset every process of the prefix shares) starts
# at 12:00:00 with the start question answered Yes; then its clock jumps five
# minutes forward, as after a sleep. Two daily missions lie in the gap:
#   "执行程序" at 12:02:00, running a program that adds a line to marker.txt:
#     carried out once, late, after the jump;
#   "关闭计算机" at 12:02:30: never carried out late, listed in the notice
#     "错过的任务" instead.
# history.log beside the program says so. Leaves a screenshot.
#
#   after_a_gap.sh HORAVEL_EXE MARKER_WRITER_EXE WORK_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
launcher=$root/cmake/wine-launcher.sh
exe=$1 writer=$2 work=$(realpath -m "$3")

faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[ -f "$faketime_lib" ] || { echo "FAIL: no $faketime_lib (tools/setup-debian.sh installs faketime)"; exit 1; }

rm -rf "$work"
folder=$work/睡眠之后
mkdir -p "$folder"
cp "$exe" "$folder/Horavel.exe"
cp "$writer" "$folder/写标记.exe"
marker=$folder/marker.txt

"$launcher" --prepare
display=$("$launcher" --display)

fail() {
  echo "FAIL: $*"
  exit 1
}
source "$root/tools/lib/wait-window.sh"
lines() { if [ -f "$marker" ]; then grep -c fired "$marker"; else echo 0; fi; }
stop_program() { "$launcher" taskkill /f /im Horavel.exe >/dev/null 2>&1 || true; }
trap stop_program EXIT

# The faked clock starts at 12:00:00 today, whatever the time is.
now=$(date +%s)
offset=$(($(date -d "$(date +%F) 12:00:00" +%s) - now))
printf '%+d\n' "$offset" >"$work/faketime-offset"
started=$now

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
{
  printf '执行程序$%s$2000/1/1$12:02:00\r\n' "$(winpath "$folder/写标记.exe")"
  printf '关闭计算机$关闭计算机$2000/1/1$12:02:30\r\n'
} | iconv -f UTF-8 -t CP936 >"$folder/everyday.mis"

LD_PRELOAD=$faketime_lib FAKETIME_TIMESTAMP_FILE=$work/faketime-offset FAKETIME_NO_CACHE=1 \
  "$launcher" "$folder/Horavel.exe" </dev/null >"$work/horavel.log" 2>&1 &

question=$(wait_window 'Horavel友情提示')
DISPLAY=$display xdotool windowactivate --sync "$question" key Return 2>/dev/null ||
  DISPLAY=$display xdotool key Return
wait_window MirolanHoravel >/dev/null
sleep 3
[ "$(date +%s)" -lt $((started + 100)) ] || fail "the program came up too late: 12:02:00 passed on its faked clock before the jump"
[ "$(lines)" -eq 0 ] || fail "the program mission ran before its time"

# Five minutes forward.
printf '%+d\n' $((offset + 300)) >"$work/faketime-offset"
notice=$(wait_window '^错过的任务$' || true)
until [ -f "$marker" ] || [ "$(date +%s)" -gt $((started + 180)) ]; do sleep 0.2; done
sleep 3
"$launcher" --screenshot "$work/after-the-gap.png" || true
[ -f "$marker" ] || fail "the program mission of 12:02:00 did not run after the jump"
[ "$(lines)" -eq 1 ] || fail "the program mission ran $(lines) times"
[ -n "$notice" ] || fail "no notice of the missed power-off"
[ -n "$(DISPLAY=$display xdotool search --name MirolanHoravel 2>/dev/null || true)" ] ||
  fail "the program is gone: was the computer powered off?"
history=$(iconv -f CP936 -t UTF-8 "$folder/history.log")
grep -q $'\t执行程序\t.*写标记.exe\t补执行\t原定时间 .* 12:02:00' <<<"$history" ||
  fail "history.log has no late run of the program mission: $history"
grep -q $'\t关闭计算机\t关闭计算机\t已错过\t原定时间 .* 12:02:30' <<<"$history" ||
  fail "history.log has no missed power-off: $history"
grep -q '关闭计算机.*已执行' <<<"$history" && fail "the power-off was carried out: $history"
echo "ok: after a five-minute jump the program mission ran once, late, and the power-off was only told; screenshot in $work"
