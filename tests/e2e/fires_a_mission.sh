#!/usr/bin/env bash
# End to end: Horavel.exe under Wine with an everyday.mis beside it, the
# start question answered Yes, and a "执行程序" mission that runs a program
# which adds a line to marker.txt. Two cases:
#   in-its-second      the mission runs its program in its own second;
#   behind-a-reminder  a reminder due in the same second, placed before it,
#                      shows its popup; the mission runs its program once,
#                      after the popup has closed.
# The missions' second is fixed before the program starts, so the program is
# first started once on its own to learn how long it takes to come up on
# this machine (much longer on a fresh prefix or a loaded machine), and the
# missions are dated that far ahead with a margin. A program that still
# comes up too late fails with a message that says so. Leaves a screenshot.
#
#   fires_a_mission.sh HORAVEL_EXE MARKER_WRITER_EXE WORK_DIR [CASE]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
launcher=$root/cmake/wine-launcher.sh
exe=$1 writer=$2 work=$3 case=${4:-in-its-second}

rm -rf "$work"
folder=$work/任务测试
mkdir -p "$folder"
cp "$exe" "$folder/Horavel.exe"
cp "$writer" "$folder/写标记.exe"
marker=$folder/marker.txt

"$launcher" --prepare
display=$("$launcher" --display)

fail() {
  echo "FAIL ($case): $*"
  exit 1
}
now_ms() { date +%s%3N; }
clock_of() { date -d "@$(($1 / 1000)).$(printf '%03d' $(($1 % 1000)))" +%H:%M:%S.%3N; }
visible_window() { DISPLAY=$display xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true; }
# Waits up to $2 tenths of a second for a visible window whose title matches $1.
wait_window() {
  local id=""
  for _ in $(seq "$2"); do
    id=$(visible_window "$1")
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}
marker_lines() { if [ -f "$marker" ]; then grep -c fired "$marker"; else echo 0; fi; }
stop_program() { "$launcher" taskkill /f /im Horavel.exe >/dev/null 2>&1 || true; }
# Whatever happens, the program does not outlive the test.
trap stop_program EXIT

# How long the program takes to come up: started without daily missions it
# asks nothing and shows its main window.
started=$(now_ms)
"$launcher" "$folder/Horavel.exe" </dev/null >"$work/warm-up.log" 2>&1 &
warm=$!
[ -n "$(wait_window MirolanHoravel 900)" ] || fail "the program's main window never showed"
up_ms=$(($(now_ms) - started))
stop_program
wait "$warm" || true

# Twice that, and four seconds for answering the question and the timer.
lead=$(((2 * up_ms + 999) / 1000 + 4))
due_s=$(($(date +%s) + lead))
due=$(date -d "@$due_s" +%H:%M:%S)
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
{
  [ "$case" = behind-a-reminder ] && printf '提示消息$该起床了!$2000/1/1$%s\r\n' "$due"
  printf '执行程序$%s$2000/1/1$%s\r\n' "$(winpath "$folder/写标记.exe")" "$due"
  printf '打开网页$http://www.example.org/$2000/1/1$12:30:00\r\n'
  printf '关闭计算机$关闭计算机$2000/1/1$23:30:00\r\n'
} | iconv -f UTF-8 -t CP936 >"$folder/everyday.mis"

"$launcher" "$folder/Horavel.exe" </dev/null >"$work/horavel.log" 2>&1 &

# The start question comes before the main window; Return answers Yes.
question=$(wait_window 'Horavel友情提示' 600)
[ -n "$question" ] || fail "no start question"
DISPLAY=$display xdotool windowactivate --sync "$question" key Return 2>/dev/null ||
  DISPLAY=$display xdotool key Return
answered=$(now_ms)
# Start must come in a second before the missions' own, with time to spare
# for the key to reach the program.
if [ "$answered" -gt $((due_s * 1000 - 500)) ]; then
  fail "the program came up too late: the start question was answered at $(clock_of "$answered"), the missions are due at $due (it took $((up_ms / 1000)).$(printf '%03d' $((up_ms % 1000))) s to come up before, so they were dated $lead s ahead); the machine is slower than that now"
fi

case $case in
  in-its-second)
    until [ -f "$marker" ] || [ "$(date +%s)" -gt $((due_s + 15)) ]; do sleep 0.2; done
    sleep 1
    "$launcher" --screenshot "$work/running.png" || true
    [ -f "$marker" ] || fail "the mission due at $due did not run its program"
    fired=$(date -r "$marker" +%H:%M:%S)
    fired_s=$(date -r "$marker" +%s)
    # Never before the mission's second; Wine may take a few seconds more
    # to start the program on a loaded machine.
    if [ "$fired_s" -lt "$due_s" ] || [ "$fired_s" -gt $((due_s + 4)) ]; then
      fail "due at $due, ran at $fired"
    fi
    ;;
  behind-a-reminder)
    # The popup shows about eleven seconds from the missions' second; the
    # program must not run while it shows, and must run once it has closed.
    shown="" closed=""
    while [ "$(date +%s)" -le $((due_s + 30)) ]; do
      # The marker first: seen before a popup that still shows, the program
      # ran while the popup showed.
      lines=$(marker_lines)
      popup=$(visible_window '友情提示:')
      if [ -n "$popup" ]; then
        [ "$lines" -eq 0 ] || fail "the mission behind the reminder ran while the popup still showed"
        if [ -z "$shown" ]; then
          shown=$(date +%H:%M:%S)
          "$launcher" --screenshot "$work/reminder.png" || true
        fi
      elif [ -n "$shown" ] && [ -z "$closed" ]; then
        closed=$(date +%H:%M:%S)
      fi
      [ -n "$closed" ] && [ "$lines" -gt 0 ] && break
      sleep 0.2
    done
    [ -n "$shown" ] || fail "the reminder due at $due showed no popup"
    [ -n "$closed" ] || fail "the popup shown at $shown did not close"
    [ -f "$marker" ] || fail "the mission behind the reminder (due at $due) did not run after the popup closed at $closed"
    fired=$(date -r "$marker" +%H:%M:%S)
    ;;
  *)
    fail "no such case"
    ;;
esac

# Once: a second run would add a second line.
sleep 2
[ "$(marker_lines)" -eq 1 ] || fail "the program ran $(marker_lines) times"
echo "ok ($case): due at $due, ran at $fired; came up in ${up_ms} ms; screenshots in $work"
