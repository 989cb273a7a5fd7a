#!/usr/bin/env bash
# Random but plausible input to the real Horavel.exe under Wine, for a given
# number of minutes, in a given look; watches that the program stays alive
# and answers, shows no error box and changes its own files only by a
# command. Not part of tools/test.sh: a run takes as long as it is told.
#
#   tools/monkey.sh run [--minutes 30] [--look 0..3] [--seed N]
#   tools/monkey.sh replay build/monkey/runs/RUN [--reduce] [--budget MINUTES]
#
# A run works in a Wine prefix and display of its own (build/wine-monkey), in
# a folder of its own under build/monkey/runs/, and prints its figures at the
# end. The actions it took are in RUN/actions.jsonl with their times; replay
# carries the failing session out again from there, and --reduce looks for
# the shortest part of it that still fails (RUN/reduced.jsonl).
#
# It never lets a mission that ends the session, starts a program or opens
# an address come due (it withholds such saves, answers the start question
# No and stops the scheduler and deletes such a mission when one appears),
# never presses "设定" in the system time dialog, and types paths only inside
# its own folder. As a last guard the program runs with wineboot and
# winebrowser disabled, so that not even a power request could end anything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

command -v python3 >/dev/null || tools/setup-debian.sh
if [ ! -x build/windows/bin/Horavel.exe ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target Horavel
fi
# The probe: the monkey's eyes inside the Wine desktop.
probe=build/monkey/probe.exe
if [ ! -f "$probe" ] || [ tools/monkey/probe.cpp -nt "$probe" ]; then
  mkdir -p build/monkey
  x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -static -o "$probe" tools/monkey/probe.cpp -lcomctl32
fi

export PYTHONDONTWRITEBYTECODE=1  # no __pycache__ in the source tree
status=0
python3 tools/monkey/monkey.py "$@" || status=$?
# The monkey's Wine server and display end with it.
HORAVEL_WINE_STATE=$root/build/wine-monkey cmake/wine-launcher.sh --shutdown
exit $status
