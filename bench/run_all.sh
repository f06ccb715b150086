#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every benchmark program of a build folder (default build/release) one after the other;
# only executable files named bench_*, not the bench_*_autogen folders CMake leaves beside them.
set -uo pipefail
build=${1:-build/release}
status=0
found=0
for b in "$build"/bench/bench_*; do
    [ -f "$b" ] && [ -x "$b" ] || continue
    found=1
    echo "== $(basename "$b")"
    "$b" || { echo "== $(basename "$b") failed"; status=1; }
done
[ "$found" = 1 ] || { echo "no benchmark programs in $build/bench" >&2; exit 1; }
exit $status
