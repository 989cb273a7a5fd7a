#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix.
#
#   wine-launcher.sh PROGRAM.exe [ARGS...]   run it (ctest's emulator)
#   wine-launcher.sh --prepare               make the prefix and the display now
#   wine-launcher.sh --display               print the X display in use
#   wine-launcher.sh --screenshot FILE.png   picture of the display in use
#   wine-launcher.sh --shutdown              end wineserver and our Xvfb
#
# HORAVEL_WINE_STATE names another folder for the prefix and its display;
# HORAVEL_WINE_OVERRIDES adds DLL overrides for the program run only, not
# for making the prefix (e.g. "wineboot.exe=d");
# with HORAVEL_WINE_DPI (e.g. 144) that prefix runs at that dpi, and
# HORAVEL_XVFB_SCREEN (e.g. 2400x1500x24) sizes a new Xvfb screen.
#
# The prefix is made once (no Mono/Gecko prompts) with the zh_CN.UTF-8
# locale, so the ANSI code page is 936 and dates read yyyy/M/d, HH:mm:ss.
#
# HORAVEL_WINE_LOCALE=en_US makes a prefix set up like an English Windows
# instead (use its own HORAVEL_WINE_STATE): the en_US.UTF-8 locale (code page
# 1252, M/d/yyyy, h:mm:ss tt), no Chinese face put in place of the named
# fonts, and the font link from the UI fonts to the Chinese face that
# Windows has.
# wineserver stays alive between test processes; without a DISPLAY an Xvfb
# is started once and reused.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
state=${HORAVEL_WINE_STATE:-$root/build/wine}
mkdir -p "$state"

export WINEPREFIX=$state/prefix
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv="
wine_locale=${HORAVEL_WINE_LOCALE:-zh_CN}
export LC_ALL=$wine_locale.UTF-8 LANG=$wine_locale.UTF-8

wine_cmd=$(command -v wine || command -v wine64 || true)
if [ -z "$wine_cmd" ] && [ -x /usr/lib/wine/wine64 ]; then wine_cmd=/usr/lib/wine/wine64; fi
wineserver_cmd=$(command -v wineserver || echo /usr/lib/wine/wineserver64)

xvfb_alive() {
  [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null
}

start_xvfb() {
  if xvfb_alive; then return; fi
  local fifo=$state/xvfb.fd
  rm -f "$fifo"
  # -displayfd writes the display number it picked once it is ready.
  setsid Xvfb -displayfd 3 -screen 0 "${HORAVEL_XVFB_SCREEN:-1280x800x24}" -nolisten tcp 3>"$fifo" </dev/null >"$state/xvfb.log" 2>&1 9>&- &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 100); do
    [ -s "$fifo" ] && break
    sleep 0.1
  done
  echo ":$(head -n1 "$fifo")" >"$state/xvfb.display"
}

font_settings() {
  if [ "$wine_locale" = zh_CN ]; then
    # Chinese text for fonts asked for by name or with a GB2312 charset.
    printf '%s\r\n' '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
      '"SimSun"="WenQuanYi Micro Hei"' '"NSimSun"="WenQuanYi Micro Hei"' \
      '"宋体"="WenQuanYi Micro Hei"' '"新宋体"="WenQuanYi Micro Hei"' \
      '"MS Sans Serif"="WenQuanYi Micro Hei"' '"Microsoft Sans Serif"="WenQuanYi Micro Hei"' \
      '"MS Shell Dlg"="WenQuanYi Micro Hei"' '"Tahoma"="WenQuanYi Micro Hei"' ''
  else
    # As an English Windows: the UI fonts link to a Chinese face.
    local link='hex(7):77,00,71,00,79,00,2d,00,6d,00,69,00,63,00,72,00,6f,00,68,00,65,00,69,00,2e,00,74,00,74,00,63,00,2c,00,57,00,65,00,6e,00,51,00,75,00,61,00,6e,00,59,00,69,00,20,00,4d,00,69,00,63,00,72,00,6f,00,20,00,48,00,65,00,69,00,00,00,00,00'
    printf '%s\r\n' '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]' \
      "\"Tahoma\"=$link" "\"Microsoft Sans Serif\"=$link" "\"Segoe UI\"=$link" ''
  fi
}

apply_settings() {
  # The fonts, and windows that are not handed to a window manager: without
  # one (Xvfb), Wine would wait two seconds on every window it hides.
  local reg=$state/settings.reg
  # A prefix asked to run at another dpi (screenshots at 150 or 200 per cent).
  local dpi=()
  if [ -n "${HORAVEL_WINE_DPI:-}" ]; then
    local pixels
    pixels=$(printf '"LogPixels"=dword:%08x' "$HORAVEL_WINE_DPI")
    dpi=('' '[HKEY_CURRENT_USER\Control Panel\Desktop]' "$pixels" '' '[HKEY_CURRENT_CONFIG\Software\Fonts]' "$pixels")
  fi
  { printf '%s\r\n' 'Windows Registry Editor Version 5.00' ''
    font_settings
    printf '%s\r\n' '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' "${dpi[@]}"
  } | iconv -f UTF-8 -t UTF-16 >"$reg.new"
  if cmp -s "$reg.new" "$reg"; then
    rm -f "$reg.new"
    return
  fi
  "$wine_cmd" regedit /S "$reg.new" </dev/null >/dev/null 2>&1
  mv "$reg.new" "$reg"
}

prepare() {
  if ! locale -a 2>/dev/null | grep -qi "^$wine_locale\\.utf-\\?8\$"; then
    echo "wine-launcher: the $wine_locale.UTF-8 locale is missing; for zh_CN run tools/setup-debian.sh" >&2
    exit 1
  fi
  if [ -z "${DISPLAY:-}" ]; then
    start_xvfb
    DISPLAY=$(cat "$state/xvfb.display")
  fi
  export DISPLAY
  # Background processes must not inherit the lock (fd 9) or the caller's
  # output, or they would hold both for as long as they live.
  # A persistent server: test processes start in a fraction of a second.
  # When it is new, its system processes (services, explorer) are started
  # here, with no output attached: started by the first program instead,
  # they would hold that program's output open for as long as they live,
  # and ctest would wait on it.
  local fresh_server=0
  "$wineserver_cmd" -p </dev/null >/dev/null 2>&1 9>&- && fresh_server=1
  if [ ! -f "$state/prefix.ready" ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-launcher: making the Wine prefix $WINEPREFIX (once)" >&2
    rm -f "$state/settings.reg"
    "$wine_cmd" wineboot -u </dev/null >"$state/wineboot.log" 2>&1 9>&- || true
    touch "$state/prefix.ready"
  fi
  if [ "$fresh_server" = 1 ]; then
    "$wine_cmd" wineboot </dev/null >/dev/null 2>&1 9>&- || true
  fi
  # Settings are applied again whenever they change.
  apply_settings 9>&-
  # The caption buttons' symbol font, which the zh_CN prefix does not find by itself.
  if [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
}

case "${1:-}" in
  --shutdown)
    "$wineserver_cmd" -k >/dev/null 2>&1 || true
    if xvfb_alive; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true; fi
    rm -f "$state/xvfb.pid" "$state/xvfb.display"
    exit 0
    ;;
  --screenshot)
    [ -n "${DISPLAY:-}" ] || DISPLAY=$(cat "$state/xvfb.display")
    DISPLAY=$DISPLAY import -window root "$2"
    exit 0
    ;;
  "")
    echo "usage: $0 PROGRAM.exe [ARGS...] | --prepare | --display | --screenshot FILE | --shutdown" >&2
    exit 2
    ;;
esac

# One process prepares; the others wait for it.
exec 9>"$state/launcher.lock"
flock 9
prepare
flock -u 9
exec 9>&-

case "$1" in
  --prepare) exit 0 ;;
  --display) echo "$DISPLAY"; exit 0 ;;
esac
if [ -n "${HORAVEL_WINE_OVERRIDES:-}" ]; then WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$HORAVEL_WINE_OVERRIDES"; fi
exec "$wine_cmd" "$@"
