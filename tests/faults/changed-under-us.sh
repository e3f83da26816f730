#!/usr/bin/env bash
# Another program writes the target while the update flushes its copy: the
# update notices, replaces nothing, and says so.
source "$(dirname "$0")/lib.sh"
require strace
fresh_target
strace -f -o /dev/null -e trace=fsync -e inject=fsync:delay_enter=1500000:when=1 \
    "$PATCHER" "$TARGET" >"$WORK/out" 2>&1 &
runner=$!
sleep 0.5
printf 'changed' | dd of="$TARGET" bs=1 seek=100 conv=notrunc status=none
changed=$(sha256sum <"$TARGET")
wait "$runner"
status=$?
[ "$status" -eq 4 ] || fail "status $status, expected 4"
grep -q "changed the file" "$WORK/out" || fail "message was: $(cat "$WORK/out")"
[ "$(sha256sum <"$TARGET")" = "$changed" ] || fail "the other program's change was lost"
left=$(ls -A "$WORK/dir" | grep -v '^Quorvale.exe$' || true)
[ -z "$left" ] || fail "left behind: $left"
finish "changed under us: $(cat "$WORK/out")"
