# SPDX-License-Identifier: MIT
# The two commands of the README: `make run` builds and starts Skinsmith,
# `make test` builds everything under the sanitizers and runs every test. Both install what
# they need first. `make package` builds the Debian package; `make lint` runs clang-tidy;
# `make fuzz` runs the libFuzzer targets.
PRESET ?= dev
BUILD_DIR := build/$(PRESET)

.PHONY: setup configure build run test bench package lint format clean fuzz fuzz-run

setup:
	@bash scripts/setup.sh

configure: setup
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

# Only the program: the tests, GoogleTest and the benchmarks are `make test`'s and `make bench`'s.
run: configure
	cmake --build --preset $(PRESET) --target skinsmith
	$(BUILD_DIR)/app/skinsmith

# The tests build and run under AddressSanitizer and UBSan with leak checks (the asan preset);
# `make test PRESET=dev` runs them in the ordinary build.
TEST_PRESET := $(if $(filter command line,$(origin PRESET)),$(PRESET),asan)
test: setup
	cmake --preset $(TEST_PRESET)
	cmake --build --preset $(TEST_PRESET)
	ctest --preset $(TEST_PRESET)

bench:
	@$(MAKE) --no-print-directory build PRESET=release
	bash bench/run_all.sh build/release

# skinsmith_<version>_<arch>.deb in build/package, from an optimised build without tests.
package: setup
	cmake --preset package
	cmake --build --preset package

# clang-tidy with the committed .clang-tidy over every source file of the dev build.
lint: build
	run-clang-tidy -quiet -j 2 -p $(BUILD_DIR) -extra-arg=-Wno-unknown-warning-option \
		'^$(CURDIR)/(src|app|tests|bench)/.*\.cpp$$'

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build

# libFuzzer targets (clang): each runs for FUZZ_SECONDS from its committed seed corpus; new
# inputs it finds go to build/fuzz/corpus/<target>, crashes to build/fuzz/crashes/.
FUZZ_SECONDS ?= 60
FUZZ_BIN ?= build/fuzz/fuzz
FUZZ_OUT ?= build/fuzz
fuzz: setup
	cmake --preset fuzz
	cmake --build --preset fuzz
	@$(MAKE) --no-print-directory fuzz-run

# Runs every fuzz target built in FUZZ_BIN: executable files only, since CMake keeps folders
# named like them there (fuzz_<name>_autogen).
fuzz-run:
	@status=0; for target in $(FUZZ_BIN)/fuzz_*; do \
		[ -f $$target ] && [ -x $$target ] || continue; \
		name=$$(basename $$target); \
		mkdir -p $(FUZZ_OUT)/corpus/$$name $(FUZZ_OUT)/crashes; \
		echo "== $$name"; \
		$$target -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
			-artifact_prefix=$(FUZZ_OUT)/crashes/$$name- \
			$(FUZZ_OUT)/corpus/$$name fuzz/corpus/$$name || status=1; \
	done; exit $$status
