#!/usr/bin/env bash
# Installs what the tests need, builds everything, and runs every test: the
# native engine suite (plain and under ASan/UBSan), the fault and crash
# injection, a bounded fuzzing run, and the Windows build under Wine on a
# virtual display (engine tests and the window driven from outside).
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

ensure_packages "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${CHECK_PACKAGES[@]}"
failed=()
run_suite() {  # name, then the command
    local name=$1
    shift
    say "Testing: $name"
    "$@" || failed+=("$name")
}

build_native
run_suite "native engine and tools" ctest --test-dir "$BUILD/native" --output-on-failure -j "$JOBS"

build_windows
start_display
trap stop_wine_session EXIT
prepare_prefix "$BUILD/wineprefix-test"
mkdir -p "$BUILD/artifacts"
export QUORVALE_ARTIFACTS="Z:${BUILD//\//\\}\\artifacts"
# One Wine session for all: serially, as the window tests share the screen.
run_suite "Windows build under Wine" ctest --test-dir "$BUILD/win" --output-on-failure -j1
[ -f "$BUILD/artifacts/window.bmp" ] && convert "$BUILD/artifacts/window.bmp" "$BUILD/artifacts/window.png"
stop_wine_session
trap - EXIT

if [ ${#failed[@]} -ne 0 ]; then
    echo "FAILED: ${failed[*]}"
    exit 1
fi
say "All test suites passed"
