# The two commands of the README: `make run` builds and starts Skinsmith,
# `make test` builds everything and runs every test. Both install what they need first.
PRESET ?= dev
BUILD_DIR := build/$(PRESET)

.PHONY: setup configure build run test bench format clean

setup:
	@bash scripts/setup.sh

configure: setup
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

run: build
	$(BUILD_DIR)/app/skinsmith

test: build
	ctest --preset $(PRESET)

bench:
	@$(MAKE) --no-print-directory build PRESET=release
	bash bench/run_all.sh build/release

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
