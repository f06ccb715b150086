# SPDX-License-Identifier: MIT
# The two commands of the README: `make run` builds and starts Skinsmith,
# `make test` builds everything under the sanitizers and runs every test. Both install what
# they need first. `make package` builds the Debian package; `make lint` runs clang-tidy;
# `make fuzz` runs the libFuzzer targets.
PRESET ?= dev
BUILD_DIR := build/$(PRESET)

.PHONY: setup configure build run test bench package lint format clean fuzz

setup:
	@bash scripts/setup.sh

configure: setup
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

run: build
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
fuzz: setup
	cmake --preset fuzz
	cmake --build --preset fuzz
	@status=0; for target in build/fuzz/fuzz/fuzz_*; do \
		name=$$(basename $$target); \
		mkdir -p build/fuzz/corpus/$$name build/fuzz/crashes; \
		echo "== $$name"; \
		$$target -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
			-artifact_prefix=build/fuzz/crashes/$$name- \
			build/fuzz/corpus/$$name fuzz/corpus/$$name || status=1; \
	done; exit $$status
