#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test:
# the portable code natively (plain and under AddressSanitizer/UBSan), then
# Horavel.exe and the Windows tests under Wine.
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
exit $status
