# SPDX-License-Identifier: GPL-3.0-or-later
# The two everyday commands: `make run` and `make test`. Both install what is missing first.

FUZZ_SECONDS ?= 60
FUZZ_TARGETS = $(patsubst fuzz/%.cpp,%,$(wildcard fuzz/fuzz_*.cpp))

.PHONY: run test deps build build-asan build-tsan build-fuzz check check-asan check-tsan check-format fuzz bench install format clean

# Only the program: `make test` builds the tests, benchmarks and tools.
run: deps
	cmake --preset dev >/dev/null
	cmake --build --preset dev --target glimbar
	./build/dev/src/glimbar

test: deps check-format check build-fuzz check-asan check-tsan

deps:
	@bash scripts/install-deps

build:
	cmake --preset dev >/dev/null
	cmake --build --preset dev

build-asan:
	cmake --preset asan >/dev/null
	cmake --build --preset asan

# Each test runs with a home, XDG folders and a session bus of its own (tests/support/isolated-run),
# so file metadata (custom icons) works without a desktop and nothing lands in the user's files.
check: build
	ctest --preset dev

check-asan: build-asan
	ctest --preset asan

# Every test again under the thread sanitizer (see the README).
build-tsan:
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan

check-tsan: build-tsan
	ctest --preset tsan

# The fuzz targets and every test, built with clang as well as GCC, so that a construct one of the
# two refuses fails `make test`. Running the fuzzers is `make fuzz`.
build-fuzz:
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz

fuzz: deps build-fuzz
	@set -e; for target in $(FUZZ_TARGETS); do \
		corpus=$$(mktemp -d); cp -r fuzz/corpus/$${target#fuzz_}/. $$corpus/ 2>/dev/null || true; \
		mkdir -p build/fuzz/artifacts/$$target; \
		echo "== $$target for $(FUZZ_SECONDS) s"; \
		build/fuzz/fuzz/$$target -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout=10 \
			-artifact_prefix=build/fuzz/artifacts/$$target/ $$corpus fuzz/corpus/$${target#fuzz_}; \
		rm -rf $$corpus; \
	done

bench: deps
	cmake --preset release >/dev/null
	cmake --build --preset release
	@for b in build/release/bench/bench_*; do echo "== $$b"; $$b; done

# Installs into PREFIX (default /usr/local); `make install PREFIX=~/.local` needs no root. The desktop's
# caches of file types and applications are refreshed when their tools are there.
PREFIX ?= /usr/local
INSTALL_PREFIX = $(patsubst ~/%,$(HOME)/%,$(PREFIX))

install: deps
	cmake --preset release -DCMAKE_INSTALL_PREFIX="$(INSTALL_PREFIX)" >/dev/null
	cmake --build --preset release --target glimbar
	cmake --install build/release
	-@command -v update-mime-database >/dev/null && update-mime-database "$(INSTALL_PREFIX)/share/mime"
	-@command -v update-desktop-database >/dev/null && update-desktop-database "$(INSTALL_PREFIX)/share/applications"

# Every source must be formatted as `make format` leaves it.
check-format:
	@bash scripts/check-format

format:
	clang-format-14 -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
