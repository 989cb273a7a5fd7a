#!/usr/bin/env bash
# Times Horavel under Wine with 100, 10 000 and 100 000 daily missions: from
# process start to the start question, and from the maintenance command to
# its dialog shown. Prints figures only. Build first:
#   cmake --build --preset windows --target Horavel
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=cmake/wine-launcher.sh
work=build/windows/measure-daily
rm -rf "$work" && mkdir -p "$work"
cp build/windows/bin/Horavel.exe "$work/"
"$launcher" --prepare
display=$("$launcher" --display)
stop() { "$launcher" taskkill /f /im Horavel.exe >/dev/null 2>&1 || true; sleep 1; }
trap stop EXIT
stop

now() { date +%s%N; }
source tools/lib/wait-window.sh
seconds() { awk -v d="$(( $(now) - $1 ))" 'BEGIN { printf "%.2f", d / 1e9 }'; }

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# One start with the file as it is: the two times, separated by a space.
measure_once() {
  local start question main
  start=$(now)
  "$launcher" "$work/Horavel.exe" </dev/null >/dev/null 2>&1 &
  question=$(wait_window 'Horavel友情提示') || { echo "no start question" >&2; return 1; }
  local to_question
  to_question=$(seconds "$start")
  # No: the main window shows; then 系统 > 每日任务维护 by keyboard.
  # (Xvfb has no window manager: windowfocus, not windowactivate.)
  DISPLAY=$display xdotool windowfocus "$question" key Tab Return
  main=$(wait_window '^MirolanHoravel$') || { echo "no main window" >&2; return 1; }
  DISPLAY=$display xdotool windowfocus "$main"
  sleep 0.5
  DISPLAY=$display xdotool key alt+s
  sleep 0.5
  start=$(now)
  DISPLAY=$display xdotool key Down Down Return
  wait_window '每日执行任务维护' >/dev/null || { echo "no maintenance dialog" >&2; return 1; }
  echo "$to_question $(seconds "$start")"
  stop
}

runs=${RUNS:-3}
echo "median of $runs starts each"
printf '%8s  %16s  %24s\n' missions 'to question (s)' 'maintenance dialog (s)'
for count in 100 10000 100000; do
  awk -v n="$count" 'BEGIN { for (i = 1; i <= n; i++)
      printf "提示消息$第%d条提醒$2000/1/1$%02d:%02d:%02d\r\n", i, i % 24, i % 60, (i * 7) % 60 }' |
    iconv -f UTF-8 -t CP936 >"$work/everyday.mis"
  results=()
  for _ in $(seq "$runs"); do results+=("$(measure_once)"); done
  printf '%8d  %16s  %24s\n' "$count" \
    "$(printf '%s\n' "${results[@]}" | cut -d' ' -f1 | median)" \
    "$(printf '%s\n' "${results[@]}" | cut -d' ' -f2 | median)"
done
