#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every benchmark of a build folder (default build/release) one after the other.
set -uo pipefail
build=${1:-build/release}
status=0
for b in "$build"/bench/bench_*; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    "$b" || status=1
done
exit $status
