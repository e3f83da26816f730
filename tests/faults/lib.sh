# Shared by the fault scripts: a target, its original and updated hashes, and
# the check that after any run the target is one or the other, whole.
set -u
PATCHER=$1
SAMPLE=$2
WORK=$(mktemp -d)
trap 'chmod -R u+rwX "$WORK" 2>/dev/null; rm -rf "$WORK"' EXIT
TARGET=$WORK/dir/Quorvale.exe
mkdir -p "$WORK/dir"
"$SAMPLE" --size "${SAMPLE_SIZE:-64K}" --seed 11 "$WORK/original.exe"
cp "$WORK/original.exe" "$WORK/updated.exe"
"$PATCHER" "$WORK/updated.exe" >/dev/null
ORIGINAL=$(sha256sum <"$WORK/original.exe")
UPDATED=$(sha256sum <"$WORK/updated.exe")
failures=0

require() { command -v "$1" >/dev/null || { echo "SKIP: $1 is not installed"; exit 77; }; }
MODE=640
fresh_target() { rm -rf "$WORK/dir"; mkdir -p "$WORK/dir"; cp "$WORK/original.exe" "$TARGET"; chmod "$MODE" "$TARGET"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# $1: exit status of the run, $2: what was done. The target must be whole:
# updated exactly when the run said so, and nothing else may be left.
check_whole() {
    local status=$1 what=$2 hash
    hash=$(sha256sum <"$TARGET")
    if [ "$status" -eq 0 ] && [ "$hash" != "$UPDATED" ]; then fail "$what: reported complete but not updated"; fi
    if [ "$status" -ne 0 ] && [ "$hash" != "$ORIGINAL" ]; then fail "$what: status $status but the file changed"; fi
    [ "$(stat -c %a "$TARGET")" = "$MODE" ] || fail "$what: mode changed to $(stat -c %a "$TARGET")"
    local left
    left=$(ls -A "$WORK/dir" | grep -v '^Quorvale.exe$' || true)
    [ -z "$left" ] || fail "$what: left behind: $left"
}

finish() {
    echo "$1"
    [ "$failures" -eq 0 ] && { echo "1 passed, 0 failed"; exit 0; }
    echo "0 passed, 1 failed ($failures checks failed)"
    exit 1
}
