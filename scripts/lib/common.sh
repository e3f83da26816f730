# Shared by the project's scripts: packages, builds, and a Wine session on a
# virtual display. Source it; it defines functions and changes nothing itself.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=${QUORVALE_BUILD_DIR:-$ROOT/build}
JOBS=${JOBS:-2}

say() { printf '\033[1m==> %s\033[0m\n' "$*"; }

# Installs whatever of the Debian packages is missing; quick when all are there.
ensure_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "Installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

NATIVE_PACKAGES=(g++ cmake make libgtest-dev python3)
CHECK_PACKAGES=(clang libclang-rt-14-dev strace)
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev googletest
                  wine wine64 fonts-wine fonts-liberation xvfb xauth x11-apps x11-utils imagemagick)

build_native() {
    say "Building the native engine, tools and tests"
    cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$BUILD/native" -j "$JOBS"
}

build_windows() {
    say "Cross-building the Windows program and tests"
    cmake -S "$ROOT" -B "$BUILD/win" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$BUILD/win" -j "$JOBS"
}

# A virtual X display of our own, and a Wine prefix set up as a Windows
# machine would be: Wine's fonts, Courier New mapped to its metric twin,
# windows with captions and no window manager needed.
start_display() {
    local number
    for number in $(seq 90 140); do
        [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ] || break
    done
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$number"
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X${number}" ] && return 0
        sleep 0.1
    done
    echo "Xvfb did not start on :$number" >&2
    return 1
}

export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe="

prepare_prefix() {
    export WINEPREFIX="$1"
    if [ ! -f "$WINEPREFIX/.quorvale-ready" ]; then
        say "Preparing a Wine prefix in $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wine wineboot --init </dev/null >/dev/null 2>&1
        wineserver -w
        cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' /d 'Liberation Mono' /f </dev/null >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.quorvale-ready"
    fi
    # Services started here must not inherit a caller's pipes (CTest waits on them).
    wineserver -p
    wine cmd /c exit 0 </dev/null >/dev/null 2>&1
}

stop_wine_session() {
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    return 0
}
