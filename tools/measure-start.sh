#!/usr/bin/env bash
# Measures Horavel under Wine: the time from process start to the main
# window shown, and the memory of the running program with 100 daily
# missions loaded (the start question answered No). Prints figures only.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=cmake/wine-launcher.sh
work=build/windows/measure
rm -rf "$work" && mkdir -p "$work"
cp build/windows/bin/Horavel.exe "$work/"
"$launcher" --prepare
display=$("$launcher" --display)
trap '"$launcher" taskkill /f /im Horavel.exe >/dev/null 2>&1 || true' EXIT

wait_for() {  # window name regex; prints seconds waited
  local start=$1 name=$2
  for _ in $(seq 400); do
    if DISPLAY=$display xdotool search --onlyvisible --name "$name" >/dev/null 2>&1; then
      echo "$(( $(date +%s%N) - start ))" | awk '{printf "%.2f", $1 / 1e9}'
      return
    fi
    sleep 0.05
  done
  echo "timeout"
}

# Start to main window, no daily missions.
start=$(date +%s%N)
"$launcher" "$work/Horavel.exe" </dev/null >/dev/null 2>&1 &
echo "start to main window shown: $(wait_for "$start" '^MirolanHoravel$') s"
"$launcher" taskkill /f /im Horavel.exe >/dev/null 2>&1 || true
sleep 1

# 100 daily missions; answer No to the start question.
for i in $(seq 100); do
  printf '提示消息$第%d条提醒$2000/1/1$%02d:%02d:00\r\n' "$i" $((i % 24)) $((i % 60))
done | iconv -f UTF-8 -t CP936 >"$work/everyday.mis"
start=$(date +%s%N)
"$launcher" "$work/Horavel.exe" </dev/null >/dev/null 2>&1 &
echo "start to question shown (100 rows): $(wait_for "$start" 'Horavel友情提示') s"
question=$(DISPLAY=$display xdotool search --name 'Horavel友情提示' | head -n1)
DISPLAY=$display xdotool windowactivate --sync "$question" key Tab key Return 2>/dev/null || true
wait_for "$start" '^MirolanHoravel$' >/dev/null
sleep 2
pid=$(pgrep -f 'measure/Horavel.exe' | head -n1)
grep -E 'VmRSS|RssAnon|RssFile' "/proc/$pid/status" | sed 's/^/  /'
"$launcher" cmd /c "tasklist" 2>/dev/null | grep -i horavel || true
