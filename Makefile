# The two commands of the README: `make run` builds and starts Skinsmith,
# `make test` builds everything and runs every test. Both install what they need first.
# `make package` builds the Debian package; `make lint` runs clang-tidy.
PRESET ?= dev
BUILD_DIR := build/$(PRESET)

.PHONY: setup configure build run test bench package lint format clean

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
