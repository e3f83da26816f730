#!/usr/bin/env bash
# The update is killed (SIGKILL) before each of its system calls in turn.
# After each the target is the original or the updated file, never anything
# between; the next run cleans up the temporary file the killed one left,
# and completes the update.
source "$(dirname "$0")/lib.sh"
require strace
# The calls one update makes, in order, each as "name occurrence".
fresh_target
strace -f -qq -o "$WORK/calls" "$PATCHER" "$TARGET" >/dev/null 2>&1
mapfile -t calls < <(sed -nE 's/^[0-9]+ +([a-z_0-9]+)\(.*/\1/p' "$WORK/calls" | awk '{ print $1, ++seen[$1] }')
points=0
for call in "${calls[@]}"; do
    read -r name occurrence <<<"$call"
    [ "$name" = exit_group ] && continue
    fresh_target
    exec 3>&2 2>/dev/null  # the shell's own "Killed" notice is expected here
    strace -f -qq -o "$WORK/trace" -e trace="$name" -e inject="$name:signal=KILL:when=$occurrence" \
        "$PATCHER" "$TARGET" >/dev/null 2>&1
    exec 2>&3 3>&-
    grep -q "killed by SIGKILL" "$WORK/trace" || continue  # another order of threads this time
    points=$((points + 1))
    hash=$(sha256sum <"$TARGET")
    if [ "$hash" != "$ORIGINAL" ] && [ "$hash" != "$UPDATED" ]; then fail "killed before $name #$occurrence: the file is damaged"; fi
    "$PATCHER" "$TARGET" >/dev/null 2>&1
    status=$?
    [ "$(sha256sum <"$TARGET")" = "$UPDATED" ] || fail "killed before $name #$occurrence: the next run did not complete the update"
    left=$(ls -A "$WORK/dir" | grep -v '^Quorvale.exe$' || true)
    [ -z "$left" ] || fail "killed before $name #$occurrence: the next run (status $status) left: $left"
done
[ "$points" -gt 50 ] || fail "only $points of ${#calls[@]} crash points were reached"
finish "crash points: $points of ${#calls[@]} system calls"
