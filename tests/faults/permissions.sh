#!/usr/bin/env bash
# What a user without rights meets (run as nobody): a file it may not read, a
# file in a folder it may not write, a read-only file of its own. Each is
# refused with its reason and left exactly as it was.
source "$(dirname "$0")/lib.sh"
[ "$(id -u)" -eq 0 ] || { echo "SKIP: switching to another user needs root"; exit 77; }
require setpriv
chmod 755 "$WORK"
as_nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
expect() {  # status, message part, description
    local status=$1 saying=$2 what=$3 got
    as_nobody "$PATCHER" "$TARGET" >"$WORK/out" 2>&1
    got=$?
    [ "$got" -eq "$status" ] || fail "$what: status $got, expected $status"
    grep -q "$saying" "$WORK/out" || fail "$what: message was: $(cat "$WORK/out")"
    check_whole "$got" "$what"
}
fresh_target; chmod 755 "$WORK/dir"; chmod 640 "$TARGET"  # owned by root, not readable by nobody
expect 2 "File Path is Invalid" "unreadable file"
fresh_target; chown 65534:65534 "$TARGET"; chmod 755 "$WORK/dir"  # nobody's file in root's folder
expect 4 "not read-only" "read-only folder"
MODE=440
fresh_target; chown -R 65534:65534 "$WORK/dir"  # nobody's own read-only file in nobody's folder
expect 4 "not read-only" "read-only file"
finish "permission cases: 3"
