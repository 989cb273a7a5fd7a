#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test:
# the portable code natively (plain and under AddressSanitizer/UBSan), then
# Horavel.exe and the Windows tests under Wine; last, Horavel.exe alone with
# clang.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup-debian.sh

# Wine and our Xvfb end with this script, whatever happens.
trap 'cmake/wine-launcher.sh --shutdown' EXIT

status=0
for preset in native native-asan windows; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" || status=1
done

# Horavel.exe only (no tests, to keep CI short); warnings are errors there.
echo "== windows-clang"
cmake --preset windows-clang >/dev/null
cmake --build --preset windows-clang || status=1
exit $status
