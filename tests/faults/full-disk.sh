#!/usr/bin/env bash
# A real full disk: the target on a tmpfs barely larger than itself, so the
# copy cannot be written. The update fails, says so, and changes nothing.
SAMPLE_SIZE=1M
source "$(dirname "$0")/lib.sh"
[ "$(id -u)" -eq 0 ] || { echo "SKIP: mounting a tmpfs needs root"; exit 77; }
mount -t tmpfs -o size=1200k quorvale-full "$WORK/dir" 2>/dev/null || { echo "SKIP: cannot mount a tmpfs here"; exit 77; }
trap 'umount "$WORK/dir" 2>/dev/null; rm -rf "$WORK"' EXIT
cp "$WORK/original.exe" "$TARGET"
chmod 640 "$TARGET"
"$PATCHER" "$TARGET" >"$WORK/out" 2>&1
status=$?
[ "$status" -eq 4 ] || fail "full disk: status $status, expected 4"
grep -q "Free some space on the disk" "$WORK/out" || fail "full disk: message was: $(cat "$WORK/out")"
check_whole "$status" "full disk"
finish "full disk: $(cat "$WORK/out")"
