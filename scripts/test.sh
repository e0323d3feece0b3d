#!/usr/bin/env bash
# Runs every test of the project and ends with the line "N passed, N failed".
#
#  1. installs what is missing (scripts/deps.sh)
#  2. native build (Debug, AddressSanitizer + UndefinedBehaviorSanitizer) and
#     its unit tests through ctest
#  3. Windows builds: x86_64 (everything) and i686 (SETUP.EXE only), with
#     checks of the 32-bit SETUP.EXE: PE32 format, imports from system DLLs
#     only, size
#  4. the Win32 integration tests under Wine, in a fresh prefix on Xvfb
#  5. the end-to-end tests under Wine, in another fresh prefix
#
# The counts are the GoogleTest results of every stage plus one per i686
# check; a stage that fails to build or dies without a GoogleTest summary
# counts as one failure. The exit code is non-zero when anything failed.
#
# Environment (optional):
#   TEST_BUILD_PREFIX  build folders are <prefix>-native, -win64, -win32
#                      (default build/test)
#   TEST_SCREENSHOTS   folder for screenshots of failures
#                      (default build/test-screenshots)
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
start_time=$SECONDS

bash scripts/deps.sh || { echo "0 passed, 1 failed"; exit 1; }

prefix=${TEST_BUILD_PREFIX:-build/test}
native="$root/$prefix-native"
win64="$root/$prefix-win64"
win32="$root/$prefix-win32"
shots=${TEST_SCREENSHOTS:-build/test-screenshots}
mkdir -p "$shots" && shots=$(cd "$shots" && pwd)
rm -f "$shots"/*.bmp "$shots"/*.png
logs="$root/$prefix-logs"
mkdir -p "$logs"

total_passed=0
total_failed=0
summary=()
stage_start=$SECONDS

# record STAGE PASSED FAILED: adds a stage's counts (and the time since
# stage_start) to the summary.
record() {
  total_passed=$((total_passed + $2))
  total_failed=$((total_failed + $3))
  summary+=("$(printf '%-12s %4d passed, %d failed  (%d s)' "$1" "$2" "$3" \
               $((SECONDS - stage_start)))")
}

# gtest_counts LOG: prints "PASSED FAILED" summed over the GoogleTest
# summaries in LOG ("[  PASSED  ] 3 tests." / "[  FAILED  ] 1 test, listed
# below:").
gtest_counts() {
  tr -d '\r' <"$1" | awk '
    /\[  PASSED  \] [0-9]+ tests?\./ {
      sub(/.*\[  PASSED  \] /, ""); p += $1 }
    /\[  FAILED  \] [0-9]+ tests?, listed below/ {
      sub(/.*\[  FAILED  \] /, ""); f += $1 }
    END { print p + 0, f + 0 }'
}

# failure_excerpt LOG: the GoogleTest failure blocks of LOG (from a
# "...: Failure" line to the end of that test) and sanitizer reports.
failure_excerpt() {
  tr -d '\r' <"$1" | awk '
    /: Failure$|ERROR: AddressSanitizer|runtime error:/ { show = 1 }
    show { print }
    /\[  FAILED  \]|\[       OK \]|\[ RUN      \]/ { show = 0 }
    /\[  FAILED  \] [0-9]+ tests?, listed below/ { tail = 1 }
    tail && !show { print }'
}

# record_gtest STAGE LOG EXIT_CODE
record_gtest() {
  local passed failed
  read -r passed failed < <(gtest_counts "$2")
  if [ "$3" -ne 0 ] && [ "$failed" -eq 0 ]; then
    echo "$1: exit code $3 without a failed test in the summary (crash or timeout)"
    failed=1
  fi
  if [ "$failed" -ne 0 ]; then
    echo "---- $1: failures (full log $2)"
    failure_excerpt "$2" | head -100
  fi
  record "$1" "$passed" "$failed"
}

# build STAGE DIR LOG CMAKE-ARGS... -- NINJA-TARGETS...
build() {
  local stage=$1 dir=$2 log=$3; shift 3
  local cmake_args=() targets=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do cmake_args+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  targets=("$@")
  stage_start=$SECONDS
  echo "== $stage: building in ${dir#"$root"/}"
  if ! { cmake -S . -B "$dir" -G Ninja "${cmake_args[@]}" &&
         ninja -C "$dir" -j2 "${targets[@]}"; } >"$log" 2>&1; then
    tail -40 "$log"
    echo "$stage: build failed (log $log)"
    record "$stage-build" 0 1
    return 1
  fi
  echo "   built in $((SECONDS - stage_start)) s"
}

# ---------------------------------------------------------------- native
if build native "$native" "$logs/native-build.log" -DCMAKE_BUILD_TYPE=Debug; then
  echo "== native: unit tests"
  rc=0
  ctest --test-dir "$native" -V --timeout 600 >"$logs/native-tests.log" 2>&1 || rc=$?
  record_gtest native "$logs/native-tests.log" "$rc"
fi

# ---------------------------------------------------------------- Windows
have_win64=0
# No build type: the test programs compile fastest unoptimised, and SETUP.EXE
# brings its own size options.
if build win64 "$win64" "$logs/win64-build.log" -DCMAKE_BUILD_TYPE= \
     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake; then
  have_win64=1
fi

if build win32 "$win32" "$logs/win32-build.log" -DCMAKE_BUILD_TYPE=Release \
     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DSETUP_EXE_ONLY=ON -- setup; then
  exe="$win32/SETUP.EXE"
  passed=0 failed=0
  format=$(objdump -f "$exe" 2>/dev/null | sed -n 's/.*file format //p')
  if [[ "$format" =~ ^pei?-i386$ ]]; then
    passed=$((passed + 1))
  else
    echo "i686 SETUP.EXE: file format '$format', expected pei-i386"
    failed=$((failed + 1))
  fi
  dlls=$(objdump -p "$exe" | sed -n 's/.*DLL Name: //p' | tr -d '\r')
  allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|shell32|ole32|msvcrt|api-ms-win-[a-z0-9-]+)\.dll$'
  foreign=$(echo "$dlls" | grep -viE "$allowed" || true)
  if [ -z "$foreign" ]; then
    passed=$((passed + 1))
  else
    echo "i686 SETUP.EXE imports non-system DLLs: $foreign"
    failed=$((failed + 1))
  fi
  size=$(stat -c %s "$exe")
  echo "i686 SETUP.EXE: $format, $size bytes, imports: $(echo $dlls)"
  passed=$((passed + 1))  # the size is reported, not judged
  record win32-checks "$passed" "$failed"
fi

# ---------------------------------------------------------------- Wine
# run_wine_stage STAGE EXE TIMEOUT: runs EXE under Wine in a fresh prefix.
run_wine_stage() {
  local stage=$1 exe=$2 secs=$3 log="$logs/$1.log" rc=0
  stage_start=$SECONDS
  echo "== $stage: running ${exe#"$root"/} under Wine"
  if ! wl_new_prefix "$stage" ||
     ! { wl_small_drive T 8 || true; } ||
     ! wl_start_keeper "$win64/tools/uidriver/uidriver.exe"; then
    echo "$stage: could not bring up Wine"
    record "$stage" 0 1
    wl_end_prefix
    return
  fi
  # The drive T: of 8 MB serves the tests of a (nearly) full disk; they skip
  # themselves where it could not be made.
  local small=""
  [ -L "$WINEPREFIX/dosdevices/t:" ] && small="T:"
  E2E_SCREENSHOTS=$(wl_winpath "$shots") E2E_SMALL_DRIVE=$small \
    wl_run "$secs" "$exe" >"$log" 2>&1 || rc=$?
  if [ "$rc" -ne 0 ]; then
    wl_screenshot "$shots" "$stage-end"
  fi
  record_gtest "$stage" "$log" "$rc"
  wl_end_prefix
}

if [ "$have_win64" = 1 ]; then
  source scripts/wine-lib.sh
  wl_init
  if wl_start_xvfb; then
    if [ -f "$win64/integration_tests.exe" ]; then
      run_wine_stage integration "$win64/integration_tests.exe" 900
    fi
    if [ -f "$win64/tests/e2e/e2e_tests.exe" ]; then
      run_wine_stage e2e "$win64/tests/e2e/e2e_tests.exe" 1500
    else
      echo "e2e: e2e_tests.exe was not built"
      record e2e 0 1
    fi
  else
    record wine 0 1
  fi
  for bmp in "$shots"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" 2>/dev/null && rm -f "$bmp"
  done
fi

echo
echo "== summary ($((SECONDS - start_time)) s)"
printf '%s\n' "${summary[@]}"
if ls "$shots"/*.png >/dev/null 2>&1; then
  echo "screenshots of failures: $shots"
fi
echo "$total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ]
