#!/usr/bin/env bash
# Every I/O call of an update fails in turn, at every position it is reached,
# with the errors met in life. After each: the target is whole, the mode is
# kept, no temporary file remains, and a failure is reported as one.
source "$(dirname "$0")/lib.sh"
require strace
SYSCALLS="openat newfstatat pread64 copy_file_range pwrite64 sync_file_range fchown fchmod fsync close renameat"
injected=0
for syscall in $SYSCALLS; do
    for error in EIO ENOSPC EACCES EINTR; do
        for n in $(seq 1 80); do
            fresh_target
            strace -f -o "$WORK/trace" -e trace="$syscall" -e inject="$syscall:error=$error:when=$n" \
                "$PATCHER" "$TARGET" >"$WORK/out" 2>&1
            status=$?
            grep -q INJECTED "$WORK/trace" || break  # no call left to fail
            injected=$((injected + 1))
            check_whole "$status" "$syscall=$error #$n"
            [ "$status" -eq 0 ] || [ -s "$WORK/out" ] || fail "$syscall=$error #$n: failed without a word"
        done
    done
done
finish "faults injected: $injected"
