# Sourced by the tools that drive Horavel under Wine on the X display in
# $display.
#
# visible_window TITLE-REGEX: the X id of a visible window whose title
# matches, or nothing.
visible_window() { DISPLAY=$display xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true; }

# wait_window TITLE-REGEX: waits up to 30 s for a visible window whose title
# matches and prints its X id; says which one it missed and fails otherwise.
# It looks every 20 ms, so the start-time measurements can use it too.
wait_window() {
  local id
  for _ in $(seq 1500); do
    id=$(visible_window "$1")
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.02
  done
  echo "$(basename "$0"): no window \"$1\"" >&2
  return 1
}
