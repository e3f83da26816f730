#!/usr/bin/env bash
# Builds the engine and runs the benchmark: the engine's update against the
# plain algorithm, a Python script, cp + sync and cat, at 16 MiB, 256 MiB and
# 1 GiB (targets are generated once into build/bench-data; about 4 GiB of disk).
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
ensure_packages "${NATIVE_PACKAGES[@]}"
build_native >/dev/null
"$BUILD/native/bench/quorvale-bench" --dir "$BUILD/bench-data" "$@"
