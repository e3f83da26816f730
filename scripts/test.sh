#!/usr/bin/env bash
# Installs what the tests need, builds everything, and runs every test: the
# native engine suite (plain and under ASan/UBSan), the fault and crash
# injection, a bounded fuzzing run, and the Windows build under Wine on a
# virtual display (engine tests and the window driven from outside).
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

ensure_packages "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${CHECK_PACKAGES[@]}"
failed=()
passed_tests=0
failed_tests=0
mkdir -p "$BUILD/logs"
run_suite() {  # name, then the command; CTest's counts (or 1 for another command) add to the totals
    local name=$1 log="$BUILD/logs/suite-$(( ${#failed[@]} + passed_tests + failed_tests )).log" status=0
    shift
    say "Testing: $name"
    "$@" 2>&1 | tee "$log" || status=$?  # pipefail: the command's own status
    local summary total bad
    summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
    if [ -n "$summary" ]; then
        total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
        bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
    else
        total=1
        bad=$(( status == 0 ? 0 : 1 ))
    fi
    passed_tests=$((passed_tests + total - bad))
    failed_tests=$((failed_tests + bad))
    [ "$status" -eq 0 ] || failed+=("$name")
}

build_native
run_suite "native engine, tools, faults and crashes" ctest --test-dir "$BUILD/native" --output-on-failure -j "$JOBS"

say "Building the native suite with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$ROOT" -B "$BUILD/sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVALE_SANITIZE=ON >/dev/null
cmake --build "$BUILD/sanitize" -j "$JOBS"
run_suite "native suite under ASan and UBSan" \
    ctest --test-dir "$BUILD/sanitize" --output-on-failure -j "$JOBS" -L native

say "Building the fuzzer (clang, libFuzzer with ASan and UBSan)"
cmake -S "$ROOT" -B "$BUILD/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_COMPILER=clang -DQUORVALE_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$BUILD/fuzz" -j "$JOBS" --target quorvale-update-fuzzer
rm -rf "$BUILD/fuzz/corpus" && mkdir -p "$BUILD/fuzz/corpus"
run_suite "fuzzing the update against the plain algorithm (${FUZZ_SECONDS:-60} s)" \
    "$BUILD/fuzz/fuzz/quorvale-update-fuzzer" -max_total_time="${FUZZ_SECONDS:-60}" -print_final_stats=1 \
    "$BUILD/fuzz/corpus" "$ROOT/fuzz/corpus"

build_windows
start_display
trap stop_wine_session EXIT
prepare_prefix "$BUILD/wineprefix-test"
mkdir -p "$BUILD/artifacts"
export QUORVALE_ARTIFACTS="Z:${BUILD//\//\\}\\artifacts"
# One Wine session for all: serially, as the window tests share the screen.
run_suite "Windows build under Wine" ctest --test-dir "$BUILD/win" --output-on-failure -j1
[ -f "$BUILD/artifacts/window.bmp" ] && convert "$BUILD/artifacts/window.bmp" "$BUILD/artifacts/window.png"
# The layout and fonts again at 144 DPI (150 %), where twips make other pixels.
set_dpi() { wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1; }
set_dpi 144
unset QUORVALE_ARTIFACTS
run_suite "the window at 144 DPI" ctest --test-dir "$BUILD/win" --output-on-failure -j1 -R "Designed|Fonts"
set_dpi 96
stop_wine_session
trap - EXIT

if [ ${#failed[@]} -ne 0 ]; then
    echo "FAILED: ${failed[*]}"
    echo "$passed_tests passed, $failed_tests failed"
    exit 1
fi
say "All test suites passed"
echo "$passed_tests passed, 0 failed"
