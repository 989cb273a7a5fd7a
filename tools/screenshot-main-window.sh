#!/usr/bin/env bash
# A picture of the main window with sample missions, for docs/.
#
#   tools/screenshot-main-window.sh OUT.png            under the test prefix (Chinese Windows)
#   HORAVEL_WINE_LOCALE=en_US HORAVEL_WINE_STATE=build/wine-en \
#     tools/screenshot-main-window.sh OUT.png          as an English Windows
#
# Runs build/windows/bin/Horavel.exe from a scratch folder whose everyday.mis
# holds the sample missions (only sample paths such as C:\Tools\backup.exe),
# answers the start question with Yes and cuts the window out of the display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
launcher=$root/cmake/wine-launcher.sh
source "$root/tools/lib/sample-missions.sh"
out=$(realpath -m "$1")
work=$(mktemp -d)
trap '"$launcher" taskkill /f /im Horavel.exe >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

cp "$root/build/windows/bin/Horavel.exe" "$work/Horavel.exe"
write_sample_missions "$work/everyday.mis"
write_sample_kept_missions "$work/missions.mis"

"$launcher" --prepare
display=$("$launcher" --display)
"$launcher" "$work/Horavel.exe" </dev/null >/dev/null 2>&1 &

question=""
for _ in $(seq 60); do
  question=$(DISPLAY=$display xdotool search --name 'Horavel友情提示' 2>/dev/null | head -n1 || true)
  [ -n "$question" ] && break
  sleep 0.5
done
[ -n "$question" ] || { echo "no start question" >&2; exit 1; }
DISPLAY=$display xdotool windowactivate --sync "$question" key Return 2>/dev/null || DISPLAY=$display xdotool key Return
sleep 3
"$launcher" --screenshot "$work/display.png"
# The main window opens at (198, 113), 696 x 480.
convert "$work/display.png" -crop 696x480+198+113 +repage "$out"
echo "$out"
