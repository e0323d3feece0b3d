#!/usr/bin/env bash
# The install benchmark (a measurement, not a test): in one run under Wine it
#  1. builds SETUP.EXE for x86_64 (with bench_setup.exe) and for i686,
#  2. makes a product of 1,000 files of 20 KB on drive C: of a fresh prefix,
#  3. copies them once with a bare CopyFileA loop (to warm the caches),
#  4. installs them through the wizard, timed from Next on the options page
#     until Finish is enabled (the 300 ms start delay included),
#  5. copies them again with the bare CopyFileA loop, timed,
#  6. times the start-up of SETUP.EXE (start until the destination page shows
#     the proposed folder) with the product's SETUP.INF and with one of
#     10,000 entries,
# and prints the times, the ratio wizard / loop and the sizes of both
# SETUP.EXE builds. Target: the wizard within 3 times the bare loop.
#
# Environment (optional):
#   BENCH_BUILD_PREFIX  build folders <prefix>-win64 and <prefix>-win32
#                       (default build/bench)
#   BENCH_FILES         number of files (default 1000)
#   WL_RUN_DIR, WL_DISPLAYS, WL_KEEP  as in scripts/wine-lib.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
files=${BENCH_FILES:-1000}
prefix=${BENCH_BUILD_PREFIX:-build/bench}
case $prefix in /*) ;; *) prefix="$root/$prefix" ;; esac
win64="$prefix-win64"
win32="$prefix-win32"

build() {  # build DIR TOOLCHAIN TARGETS...
  local dir=$1 toolchain=$2; shift 2
  local extra=()
  [ "$toolchain" = mingw-i686 ] && extra=(-DSETUP_EXE_ONLY=ON)
  if ! { cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
           -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain.cmake" "${extra[@]}" &&
         ninja -C "$dir" -j2 "$@"; } >"$dir.log" 2>&1; then
    tail -30 "$dir.log"
    echo "bench: build in $dir failed (log $dir.log)" >&2
    exit 1
  fi
}
echo "== building"
mkdir -p "$(dirname "$win64")"
build "$win64" mingw-x86_64 setup bench_setup uidriver_cli
build "$win32" mingw-i686 setup

source scripts/wine-lib.sh
wl_init
wl_new_prefix bench
wl_start_xvfb
wl_start_keeper "$win64/tools/uidriver/uidriver.exe"
bench_exe="$win64/bench/bench_setup.exe"

# writes an INF with entries F0001.DAT .. F<n>.DAT into $1
write_inf() {
  local inf=$1 n=$2 i
  {
    printf '[Install]\r\nTitle=Bench\r\nFolder=BenchProduct\r\n'
    for ((i = 1; i <= n; i++)); do printf '%d=F%04d.DAT\r\n' "$i" "$i"; done
  } >"$inf"
}

echo "== making the product ($files files of 20 KB)"
c="$WINEPREFIX/drive_c/bench"
mkdir -p "$c/product" "$c/large"
for ((i = 1; i <= files; i++)); do
  head -c 20480 /dev/urandom >"$(printf '%s/product/F%04d.DAT' "$c" "$i")"
done
write_inf "$c/product/SETUP.INF" "$files"
cp "$win64/SETUP.EXE" "$c/product/SETUP.EXE"
write_inf "$c/large/SETUP.INF" 10000
cp "$win64/SETUP.EXE" "$c/large/SETUP.EXE"

measure() {  # measure ARGS...: prints the milliseconds of one bench_setup run
  local out
  out=$(wl_run 900 "$bench_exe" "$@" | tr -d '\r') || { echo "bench: bench_setup $1 failed" >&2; exit 1; }
  echo "$out" | awk '{print $2}'
}

echo "== timing"
measure copy 'C:\bench\product\' 'C:\bench\warm\' "$files" >/dev/null
wizard_ms=$(measure wizard 'C:\bench\product\SETUP.EXE' 'C:\bench\wizard')
copy_ms=$(measure copy 'C:\bench\product\' 'C:\bench\loop\' "$files")
startup_small_ms=$(measure startup 'C:\bench\product\SETUP.EXE')
startup_large_ms=$(measure startup 'C:\bench\large\SETUP.EXE')
copied=$(find "$c/wizard" -name 'F*.DAT' | wc -l)

echo
echo "== results"
printf 'files installed by the wizard:     %d of %d\n' "$copied" "$files"
printf 'wizard (Next .. Finish enabled):   %6d ms\n' "$wizard_ms"
printf 'bare CopyFileA loop:               %6d ms\n' "$copy_ms"
awk -v w="$wizard_ms" -v l="$copy_ms" \
  'BEGIN { printf "ratio wizard / loop:               %6.2f (target: at most 3)\n", w / (l > 0 ? l : 1) }'
printf 'start-up, %d entries:             %6d ms\n' "$files" "$startup_small_ms"
printf 'start-up, 10000 entries:           %6d ms\n' "$startup_large_ms"
printf 'SETUP.EXE x86_64:                  %6d bytes\n' "$(stat -c %s "$win64/SETUP.EXE")"
printf 'SETUP.EXE i686:                    %6d bytes\n' "$(stat -c %s "$win32/SETUP.EXE")"
