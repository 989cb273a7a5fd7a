#!/usr/bin/env bash
# How light Horavel is under Wine, against a bare Win32 window built by the
# same toolchain (tools/bare_window): the time from process start to the
# main window shown, the CPU used with 1 000 missions running while the
# window is shown and while it is hidden in the tray (against the bare window
# updating a status-bar clock each second), and the private memory after
# start. Prints figures only.
#   RUNS=7 CPU_SECONDS=30 tools/measure-lightness.sh
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-7}
cpu_seconds=${CPU_SECONDS:-30}
launcher=cmake/wine-launcher.sh
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
cmake --build --preset windows --target Horavel bare_window >/dev/null
work=$PWD/build/windows/measure-lightness
rm -rf "$work" && mkdir -p "$work"
cp build/windows/bin/Horavel.exe build/windows/bin/bare_window.exe "$work/"
"$launcher" --prepare
display=$("$launcher" --display)
# Waits until both are gone: a Horavel still ending would take the next
# start for a second one, which hands over to it and ends.
stop_all() {
  "$launcher" taskkill /f /im Horavel.exe >/dev/null 2>&1 || true
  "$launcher" taskkill /f /im bare_window.exe >/dev/null 2>&1 || true
  for _ in $(seq 100); do
    pgrep -f "measure-lightness/(Horavel|bare_window)\\.exe" >/dev/null || break
    sleep 0.1
  done
  sleep 0.5
}
trap stop_all EXIT
stop_all

# The wineserver of our prefix: its working folder is named after the
# prefix's device and inode. Its work for a program is part of the cost.
read -r dev inode < <(stat -c '%D %i' build/wine/prefix)
server_dir=$(printf 'server-%s-%x' "$dev" "$inode")
wineserver=""
for p in $(pgrep -f wineserver || true); do
  case "$(readlink "/proc/$p/cwd" 2>/dev/null)" in *"/$server_dir") wineserver=$p ;; esac
done

now() { date +%s%N; }
source tools/lib/wait-window.sh
pid_of() { pgrep -f "measure-lightness/$1" | head -n1; }
# CPU time of a process, all threads, in nanoseconds.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f", s }'; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

start_time() {  # exe args... ; window regex last: seconds to the window shown
  local name=${*: -1} start
  start=$(now)
  "$launcher" "${@:1:$#-1}" </dev/null >/dev/null 2>&1 &
  wait_window "$name" >/dev/null
  awk -v d="$(( $(now) - start ))" 'BEGIN { printf "%.3f", d / 1e9 }'
}

# CPU of the process (and of our wineserver) over cpu_seconds, as a
# percentage of one core.
cpu_share() {
  local pid=$1 p0 s0 p1 s1
  p0=$(cpu_ns "$pid"); s0=$([ -n "$wineserver" ] && cpu_ns "$wineserver" || echo 0)
  sleep "$cpu_seconds"
  p1=$(cpu_ns "$pid"); s1=$([ -n "$wineserver" ] && cpu_ns "$wineserver" || echo 0)
  awk -v p=$((p1 - p0)) -v s=$((s1 - s0)) -v t="$cpu_seconds" \
    'BEGIN { printf "%.3f %.3f\n", p / t / 1e7, (p + s) / t / 1e7 }'
}

echo "== start to main window shown, median of $runs"
bare_times=() horavel_times=()
for _ in $(seq "$runs"); do
  bare_times+=("$(start_time "$work/bare_window.exe" '^BareWindow$')"); stop_all
  horavel_times+=("$(start_time "$work/Horavel.exe" '^MirolanHoravel$')"); stop_all
done
bare=$(printf '%s\n' "${bare_times[@]}" | median)
horavel=$(printf '%s\n' "${horavel_times[@]}" | median)
echo "bare window: ${bare} s   Horavel: ${horavel} s   ratio: $(awk -v h="$horavel" -v b="$bare" 'BEGIN { printf "%.2f", h / b }')"

echo "== private memory after start (RssAnon)"
start_time "$work/bare_window.exe" '^BareWindow$' >/dev/null; sleep 2
echo "bare window: $(awk '/RssAnon/ { print $2, $3 }' /proc/"$(pid_of bare_window.exe)"/status)"; stop_all
start_time "$work/Horavel.exe" '^MirolanHoravel$' >/dev/null; sleep 2
echo "Horavel:     $(awk '/RssAnon/ { print $2, $3 }' /proc/"$(pid_of Horavel.exe)"/status)"; stop_all

echo "== CPU over $cpu_seconds s, % of one core (process / with wineserver)"
start_time "$work/bare_window.exe" clock '^BareClockWindow$' >/dev/null; sleep 3
read -r clock_p clock_s < <(cpu_share "$(pid_of bare_window.exe)")
echo "bare window with a status clock, shown: $clock_p / $clock_s"; stop_all

# 1 000 missions due twelve hours from now: running, none fires meanwhile.
hour=$(( ($(date +%-H) + 12) % 24 ))
awk -v n=1000 -v h="$hour" 'BEGIN { for (i = 1; i <= n; i++)
    printf "提示消息$第%d条提醒$2000/1/1$%02d:%02d:%02d\r\n", i, h, i % 60, (i * 7) % 60 }' |
  iconv -f UTF-8 -t CP936 >"$work/everyday.mis"
"$launcher" "$work/Horavel.exe" </dev/null >/dev/null 2>&1 &
question=$(wait_window 'Horavel友情提示')
DISPLAY=$display xdotool windowfocus "$question" key Return  # Yes: run them
main=$(wait_window '^MirolanHoravel$')
sleep 3
pid=$(pid_of Horavel.exe)
read -r shown_p shown_s < <(cpu_share "$pid")
echo "Horavel, 1 000 missions running, shown:  $shown_p / $shown_s"
DISPLAY=$display xdotool windowfocus "$main" key alt+F4  # hides it in the tray
sleep 3
read -r hidden_p hidden_s < <(cpu_share "$pid")
echo "Horavel, 1 000 missions running, hidden: $hidden_p / $hidden_s"
rm -f "$work/everyday.mis"
awk -v sp="$shown_p" -v ss="$shown_s" -v hp="$hidden_p" -v hs="$hidden_s" -v cp="$clock_p" -v cs="$clock_s" \
  'BEGIN { printf "ratios to the clock window: shown %.2f / %.2f, hidden %.2f / %.2f\n", sp / cp, ss / cs, hp / cp, hs / cs }'
