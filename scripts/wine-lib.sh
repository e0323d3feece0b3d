# Shell helpers for running Windows programs under Wine on a virtual X display.
# Source this file; it defines functions only (plus defaults below).
#
#   wl_init                      make the run folder, install the cleanup trap
#   wl_new_prefix NAME           fresh Wine prefix (copied from a clean one made
#                                once per run); exports WINEPREFIX
#   wl_start_xvfb                start Xvfb on a free display; exports DISPLAY
#   wl_start_keeper EXE          start `EXE keep MARKER` (uidriver.exe) and wait
#                                until it runs, so the Wine session is up
#   wl_run SECONDS EXE ARGS...   run a Windows program, return its exit code
#                                (124 when it outlived SECONDS)
#   wl_small_drive LETTER MB     map drive LETTER: of the prefix to a new tmpfs
#                                of MB megabytes (needs root; fails otherwise)
#   wl_screenshot FOLDER NAME    save the X display as FOLDER/NAME.png
#   wl_end_prefix                end the Wine server of the current prefix
#   wl_cleanup                   end every Wine server and Xvfb this shell started
#
# Every wait polls with a deadline. Settings (environment, optional):
#   WL_RUN_DIR    folder for prefixes and logs (default: new /tmp/rig-prefix-run.*)
#   WL_DISPLAYS   X display numbers to try (default "91 92 93")
#   WL_KEEP=1     keep the run folder after cleanup

: "${WL_DISPLAYS:=91 92 93}"
WL_XVFB_PID=""
WL_KEEPER_MARKER=""
WL_PREFIXES=()
WL_MOUNTS=()

wl_log() { echo "[wine-lib] $*" >&2; }

# wl_poll SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds;
# fails when SECONDS have passed.
wl_poll() {
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

wl_init() {
  if [ -z "${WL_RUN_DIR:-}" ]; then
    WL_RUN_DIR=$(mktemp -d /tmp/rig-prefix-run.XXXXXX)
  fi
  mkdir -p "$WL_RUN_DIR"
  trap wl_cleanup EXIT
  trap 'exit 130' INT TERM
}

# Settings every Wine call of the project runs with: 64-bit prefix, no Mono or
# Gecko installers, no menu entries, no debug output, code page 932.
wl_wine_env() {
  export WINEARCH=win64
  export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
  export WINEDEBUG=-all
  export LC_ALL=ja_JP.UTF-8
}

# Waits for the Wine server of prefix $1 to end (it ends with its last
# process), killing it when it outlives the deadline $2 (seconds).
wl_wait_server() {
  local prefix=$1 secs=${2:-60}
  if ! WINEPREFIX="$prefix" timeout "$secs" wineserver -w 2>/dev/null; then
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$prefix" timeout 10 wineserver -w 2>/dev/null || true
  fi
}

# Settings of every prefix: Wine draws the window frames itself (with
# captions, as Windows does) instead of leaving them to a window manager,
# which Xvfb lacks; the Japanese system fonts that dialogs name are replaced
# by the IPA fonts of the same kind (proportional or fixed), so texts take
# about the room they take on Japanese Windows.
wl_prefix_settings() {
  local reg="$WL_RUN_DIR/settings.reg"
  {
    printf '\xff\xfe'
    sed 's/$/\r/' <<'REG' | iconv -f UTF-8 -t UTF-16LE
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"MS UI Gothic"="IPAPGothic"
REG
  } >"$reg"
  WINEPREFIX="$1" timeout 60 wine regedit /S "$(wl_winpath "$reg")"
}

# Makes the clean prefix of this run once: wineboot -i, then waits until the
# server has written the registry and ended.
wl_template_prefix() {
  local template="$WL_RUN_DIR/template"
  if [ ! -f "$template/.complete" ]; then
    wl_log "creating Wine prefix (takes 10-30 s)"
    rm -rf "$template"
    wl_wine_env
    if ! WINEPREFIX="$template" timeout 180 wineboot -i >"$WL_RUN_DIR/wineboot.log" 2>&1; then
      wl_log "wineboot -i failed or timed out; see $WL_RUN_DIR/wineboot.log"
      WINEPREFIX="$template" wineserver -k 2>/dev/null || true
      return 1
    fi
    wl_prefix_settings "$template" >>"$WL_RUN_DIR/wineboot.log" 2>&1 || true
    # The user's folders (Desktop, Documents...) become folders of the prefix
    # itself: Wine links them to $HOME, which every prefix shares, so a link
    # that one run puts on its desktop would show on every other desktop.
    local folder
    for folder in "$template"/drive_c/users/*/*; do
      if [ -L "$folder" ]; then rm -f "$folder" && mkdir -p "$folder"; fi
    done
    wl_wait_server "$template" 120
    touch "$template/.complete"
  fi
  echo "$template"
}

# wl_new_prefix NAME: a fresh prefix WL_RUN_DIR/NAME copied from the clean one;
# exports WINEPREFIX and the Wine settings.
wl_new_prefix() {
  local name=$1 template
  template=$(wl_template_prefix) || return 1
  export WINEPREFIX="$WL_RUN_DIR/$name"
  rm -rf "$WINEPREFIX"
  cp -a "$template" "$WINEPREFIX"
  rm -f "$WINEPREFIX/.complete"
  WL_PREFIXES+=("$WINEPREFIX")
  wl_wine_env
}

wl_display_up() { [ -s "$1" ] && kill -0 "$WL_XVFB_PID" 2>/dev/null; }

# Starts Xvfb on the first free display of WL_DISPLAYS; exports DISPLAY.
wl_start_xvfb() {
  local n ready
  for n in $WL_DISPLAYS; do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    ready="$WL_RUN_DIR/xvfb-$n.ready"
    rm -f "$ready"
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -displayfd 3 \
      3>"$ready" >"$WL_RUN_DIR/xvfb-$n.log" 2>&1 &
    WL_XVFB_PID=$!
    if wl_poll 15 wl_display_up "$ready"; then
      export DISPLAY=":$n"
      wl_log "Xvfb on $DISPLAY"
      return 0
    fi
    kill "$WL_XVFB_PID" 2>/dev/null; wait "$WL_XVFB_PID" 2>/dev/null
    WL_XVFB_PID=""
  done
  wl_log "no free X display among $WL_DISPLAYS"
  return 1
}

# wl_start_keeper EXE: starts the long-lived Windows process that keeps the
# Wine session of WINEPREFIX up, and waits until it runs.
wl_start_keeper() {
  local exe=$1
  WL_KEEPER_MARKER="$WINEPREFIX/drive_c/keeper.running"
  rm -f "$WL_KEEPER_MARKER"
  wine "$exe" keep 'C:\keeper.running' </dev/null \
    >>"$WL_RUN_DIR/keeper.log" 2>&1 &
  if ! wl_poll 90 test -e "$WL_KEEPER_MARKER"; then
    wl_log "the keeper process did not start within 90 s"
    return 1
  fi
}

# wl_run SECONDS EXE ARGS...: runs a Windows program under Wine and returns its
# exit code; 124 when it ran longer than SECONDS (it is then killed).
wl_run() {
  local secs=$1; shift
  local rc=0
  timeout -k 10 "$secs" wine "$@" </dev/null || rc=$?
  return "$rc"
}

# wl_small_drive LETTER MB: a small drive for tests of full or nearly full
# disks: a tmpfs of MB megabytes, seen in the current prefix as LETTER:.
wl_small_drive() {
  local letter=${1,,} mb=$2
  local dir="$WL_RUN_DIR/drive-$letter-${WINEPREFIX##*/}"
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] || return 1
  mount -t tmpfs -o "size=${mb}m" tmpfs "$dir" 2>/dev/null || return 1
  WL_MOUNTS+=("$dir")
  ln -sfn "$dir" "$WINEPREFIX/dosdevices/$letter:"
}

# wl_screenshot FOLDER NAME: saves the X display as FOLDER/NAME.png.
wl_screenshot() {
  mkdir -p "$1"
  timeout 30 import -display "$DISPLAY" -window root "$1/$2.png" 2>/dev/null ||
    wl_log "screenshot $1/$2.png failed"
}

# wl_winpath PATH: the Windows form (Z:\...) of an absolute Unix path.
wl_winpath() {
  local p
  p=$(readlink -f "$1")
  echo "Z:${p//\//\\}"
}

# Ends the Wine server (and every Windows process) of the current prefix.
wl_end_prefix() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  [ -n "$WL_KEEPER_MARKER" ] && rm -f "$WL_KEEPER_MARKER"
  WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
  WINEPREFIX="$WINEPREFIX" timeout 20 wineserver -w 2>/dev/null || true
  WL_KEEPER_MARKER=""
}

wl_cleanup() {
  local rc=$? p
  trap - EXIT
  for p in "${WL_PREFIXES[@]}" "${WL_RUN_DIR:+$WL_RUN_DIR/template}"; do
    [ -d "$p" ] || continue
    WINEPREFIX="$p" wineserver -k 2>/dev/null || true
    WINEPREFIX="$p" timeout 20 wineserver -w 2>/dev/null || true
  done
  for p in "${WL_MOUNTS[@]}"; do
    umount "$p" 2>/dev/null || umount -l "$p" 2>/dev/null || true
  done
  WL_MOUNTS=()
  if [ -n "$WL_XVFB_PID" ]; then
    kill "$WL_XVFB_PID" 2>/dev/null || true
    wait "$WL_XVFB_PID" 2>/dev/null || true
    WL_XVFB_PID=""
  fi
  if [ -n "${WL_RUN_DIR:-}" ] && [ "${WL_KEEP:-0}" != 1 ]; then
    rm -rf "$WL_RUN_DIR"
  fi
  return "$rc"
}
