#!/usr/bin/env bash
# Builds SETUP.EXE and the sample product, then runs SETUP.EXE on the sample
# distribution under Wine in a fresh Wine prefix.
#
# With $DISPLAY set, SETUP.EXE opens on that display for you to use; the
# script ends when you have closed every window of the Wine session.
# Without a display it runs on a virtual one (Xvfb) and walks through the
# program by itself with the UI driver, accepting every proposal: it installs
# the sample, then removes it with the registered command (SETUP.EXE /r), and
# saves a picture of each window it meets.
#
# Environment (optional):
#   BUILD_DIR  Windows build folder      (default build/win64)
#   SHOTS_DIR  folder for the pictures   (default build/run-screenshots)
#   WL_KEEP=1  keep the Wine prefix afterwards (its path is printed)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/deps.sh

build=${BUILD_DIR:-build/win64}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
fi
mkdir -p "$build"
if ! ninja -C "$build" -j2 setup notes sample uidriver_cli >"$build/run-build.log" 2>&1; then
  tail -40 "$build/run-build.log"
  echo "run.sh: the build failed (log: $build/run-build.log)" >&2
  exit 1
fi
sample="$root/$build/sample"
echo "sample distribution: $sample"

source scripts/wine-lib.sh
wl_init
wl_new_prefix sample
uidriver="$root/$build/tools/uidriver/uidriver.exe"

if [ -n "${DISPLAY:-}" ]; then
  wl_start_keeper "$uidriver"
  echo "starting SETUP.EXE on $DISPLAY (Wine prefix $WINEPREFIX)"
  rc=0
  (cd "$sample" && wine SETUP.EXE) || rc=$?
  echo "SETUP.EXE ended with exit code $rc"
  # The keeper ends when its marker goes; the session then lasts as long as
  # the windows the installation opened.
  rm -f "$WL_KEEPER_MARKER"
  echo "waiting until every window of the Wine session is closed"
  WINEPREFIX="$WINEPREFIX" timeout 3600 wineserver -w || true
  exit 0
fi

shots=$(mkdir -p "${SHOTS_DIR:-build/run-screenshots}" &&
        cd "${SHOTS_DIR:-build/run-screenshots}" && pwd)
rm -rf "$shots/1-install" "$shots/2-uninstall"
wl_start_xvfb
wl_start_keeper "$uidriver"
rc=0
echo "== installing the sample"
wl_run 300 "$uidriver" walk "$(wl_winpath "$sample")\\SETUP.EXE" \
  "$(wl_winpath "$shots")\\1-install" 180 || rc=$?
installed="$WINEPREFIX/drive_c/Program Files/SampleNotes"
if [ -d "$installed" ]; then
  echo "installed files (C:\\Program Files\\SampleNotes):"
  (cd "$installed" && find . -type f | sed 's|^\./|  |' | sort)
  if [ -f "$installed/SETUP.EXE" ]; then
    # The command the system's list of programs runs, from the system folder.
    echo "== removing it again with the registered command (SETUP.EXE /r)"
    wl_run 300 "$uidriver" walk --cwd 'C:\windows\system32' \
      'C:\Program Files\SampleNotes\SETUP.EXE' \
      "$(wl_winpath "$shots")\\2-uninstall" 180 /r || rc=$?
    if [ -d "$installed" ]; then
      echo "left in C:\\Program Files\\SampleNotes:"
      (cd "$installed" && find . | sed 's|^\./|  |' | sort)
    else
      echo "C:\\Program Files\\SampleNotes is gone"
    fi
  fi
fi
for bmp in "$shots"/*/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" 2>/dev/null && rm -f "$bmp"
done
echo "pictures of each window: $shots"
exit "$rc"
