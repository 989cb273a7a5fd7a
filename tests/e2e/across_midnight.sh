#!/usr/bin/env bash
# End to end across midnight: Horavel.exe under Wine on a faked clock
# (libfaketime, a relative offset every process of the prefix shares) starts
# at 23:59:30 with the start question answered Yes. Two "执行程序" missions
# are due at 00:00:10, each running a program that adds a line to the
# marker.txt beside it:
#   a daily mission of everyday.mis, dated today by the start;
#   a daily mission kept in missions.mis, dated the day before yesterday.
# Both must run once, at 00:00:10 of the new day. Leaves a screenshot.
#
#   across_midnight.sh HORAVEL_EXE MARKER_WRITER_EXE WORK_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
launcher=$root/cmake/wine-launcher.sh
exe=$1 writer=$2 work=$(realpath -m "$3")

faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
if [ ! -f "$faketime_lib" ]; then
  echo "FAIL: no $faketime_lib (Debian's faketime package; tools/setup-debian.sh installs it)"
  exit 1
fi

rm -rf "$work"
folder=$work/跨午夜
mkdir -p "$folder/每天"
cp "$exe" "$folder/Horavel.exe"
cp "$writer" "$folder/写标记.exe"
cp "$writer" "$folder/每天/写标记.exe"
daily_marker=$folder/marker.txt
kept_marker=$folder/每天/marker.txt

"$launcher" --prepare
display=$("$launcher" --display)

fail() {
  echo "FAIL: $*"
  exit 1
}
source "$root/tools/lib/wait-window.sh"
lines() { if [ -f "$1" ]; then grep -c fired "$1"; else echo 0; fi; }
stop_program() { "$launcher" taskkill /f /im Horavel.exe >/dev/null 2>&1 || true; }
trap stop_program EXIT

# The faked clock starts at 23:59:30 of the coming local midnight's day.
now=$(date +%s)
midnight=$(date -d "$(date -d "@$((now + 86400))" +%F) 00:00:00" +%s)
offset=$((midnight - 30 - now))
echo "+$offset" >"$work/faketime-offset"
day_before_yesterday=$(date -d "@$((midnight - 3 * 86400))" +%Y/%-m/%-d)
due_real=$((midnight + 10 - offset))

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
printf '执行程序$%s$2000/1/1$00:00:10\r\n' "$(winpath "$folder/写标记.exe")" |
  iconv -f UTF-8 -t CP936 >"$folder/everyday.mis"
# A mission file line: the rule "每天" after the time.
{
  printf '执行程序' | iconv -f UTF-8 -t CP936
  printf '\x80'
  winpath "$folder/每天/写标记.exe" | iconv -f UTF-8 -t CP936
  printf '\x80%s\x8000:00:10\x80' "$day_before_yesterday"
  printf '每天\r\n' | iconv -f UTF-8 -t CP936
} >"$folder/missions.mis"

LD_PRELOAD=$faketime_lib FAKETIME_TIMESTAMP_FILE=$work/faketime-offset FAKETIME_NO_CACHE=1 \
  "$launcher" "$folder/Horavel.exe" </dev/null >"$work/horavel.log" 2>&1 &

question=$(wait_window 'Horavel友情提示') || fail "no start question"
DISPLAY=$display xdotool windowactivate --sync "$question" key Return 2>/dev/null ||
  DISPLAY=$display xdotool key Return
[ "$(date +%s)" -lt $((due_real - 2)) ] || fail "the program came up too late for 00:00:10 on its faked clock"

until [ -f "$daily_marker" ] && [ -f "$kept_marker" ] || [ "$(date +%s)" -gt $((due_real + 15)) ]; do sleep 0.2; done
sleep 2
"$launcher" --screenshot "$work/after-midnight.png" || true
for marker in "$daily_marker" "$kept_marker"; do
  [ -f "$marker" ] || fail "the daily mission beside $(dirname "$marker") did not run at 00:00:10 of the new day"
  ran=$(date -r "$marker" +%s)
  # Never before its second; Wine may take a few seconds more to start the
  # program on a loaded machine.
  if [ "$ran" -lt "$due_real" ] || [ "$ran" -gt $((due_real + 4)) ]; then
    fail "due at 00:00:10 of the new day, ran $((ran - due_real)) s from then ($marker)"
  fi
  [ "$(lines "$marker")" -eq 1 ] || fail "the program ran $(lines "$marker") times ($marker)"
done
echo "ok: both daily missions ran once at 00:00:10 of the new day on the faked clock; screenshot in $work"
