#!/bin/sh
# SPDX-License-Identifier: MIT
# The Makefile's promises: `make run` builds the program alone (as ninja's own graph of what its
# build command would make shows: no test suite, no GoogleTest, no benchmark), and `make fuzz`
# runs the fuzz targets alone, not the folders CMake keeps beside them, failing only when one
# of them fails.
# Usage: check_make_targets.sh <source dir> <a configured build dir>
set -eu
src=$1
build=$2
fail() { echo "FAILED: $*" >&2; exit 1; }

line=$(make -s -n -C "$src" run | grep '^cmake --build') || fail "make run builds nothing"
targets=$(echo "$line" | sed -n 's/.*--target //p')
made=$(ninja -C "$build" -t commands ${targets:-all})
echo "$made" | grep -q -- '-o app/skinsmith' || fail "make run does not build the program"
if echo "$made" | grep -E -- '-o (tests/[a-z_]*_tests|bench/bench_[a-z_]*)( |$)' | head -3 | cut -c1-160 | grep .; then
    fail "make run builds the above (for: $line)"
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/bin/fuzz_ok_autogen"
printf '#!/bin/sh\ntouch "%s/ran"\n' "$scratch" > "$scratch/bin/fuzz_ok"
chmod +x "$scratch/bin/fuzz_ok"
run() { make -s -C "$src" fuzz-run FUZZ_BIN="$scratch/bin" FUZZ_OUT="$scratch/out" FUZZ_SECONDS=1; }
run > "$scratch/log" 2>&1 || { cat "$scratch/log"; fail "a clean fuzz run failed"; }
[ -f "$scratch/ran" ] || fail "the fuzz target did not run"
printf '#!/bin/sh\nexit 1\n' > "$scratch/bin/fuzz_bad"
chmod +x "$scratch/bin/fuzz_bad"
if run > "$scratch/log" 2>&1; then fail "a failing fuzz target went unnoticed"; fi
echo "make run builds the program alone; make fuzz runs its targets alone"
