# Gyrix: the two commands of the README, plus benchmarks and fuzzing.
#   make run    install dependencies, build, start the game
#   make test   install dependencies, build plain and sanitized, run every test
#   make bench  build and run the benchmarks
#   make fuzz   build the libFuzzer targets with clang and run each for FUZZ_SECONDS
#   make fuzz-long  the same for FUZZ_LONG_SECONDS each (a campaign)
#   make soak   the real game under Xvfb and ASan, scripted play for SOAK_MINUTES
#   make install PREFIX=...  build and install into PREFIX (default /usr/local)

JOBS         ?= $(shell nproc)
FUZZ_SECONDS ?= 60
FUZZ_LONG_SECONDS ?= 3600
SOAK_MINUTES ?= 30
PREFIX       ?= /usr/local
CMAKE_GEN    := -G Ninja

.PHONY: all deps build run test test-release test-asan bench fuzz fuzz-build fuzz-long soak install clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake -S . -B build/release $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build/release -j $(JOBS)

run: build
	@bash scripts/run-game.sh build/release

test: deps test-release test-asan

test-release:
	@cmake -S . -B build/release $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build/release -j $(JOBS)
	@cd build/release && ctest --output-on-failure -j $(JOBS)

test-asan:
	@cmake -S . -B build/asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DCMAKE_C_FLAGS_DEBUG="-O1 -g1" -DGYRIX_SANITIZE=ON >/dev/null
	@cmake --build build/asan -j $(JOBS)
	@cd build/asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B build/bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DGYRIX_BENCH=ON -DGYRIX_TESTS=OFF >/dev/null
	@cmake --build build/bench -j $(JOBS)
	@bash scripts/run-benchmarks.sh build/bench

fuzz-build: deps
	@CC=clang CXX=clang++ cmake -S . -B build/fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGYRIX_FUZZ=ON -DGYRIX_TESTS=OFF >/dev/null
	@cmake --build build/fuzz -j $(JOBS)

fuzz: fuzz-build
	@bash scripts/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

fuzz-long: fuzz-build
	@bash scripts/run-fuzzers.sh build/fuzz $(FUZZ_LONG_SECONDS)

soak: deps
	@cmake -S . -B build/asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DCMAKE_C_FLAGS_DEBUG="-O1 -g1" -DGYRIX_SANITIZE=ON >/dev/null
	@cmake --build build/asan -j $(JOBS) --target gyrix gyrix-tool
	@bash scripts/soak.sh build/asan $(SOAK_MINUTES)

install: build
	@cmake --install build/release --prefix $(PREFIX)
	@# The desktop's caches, where their tools are present.
	@-update-mime-database $(PREFIX)/share/mime >/dev/null 2>&1 || true
	@-gtk-update-icon-cache -q -t $(PREFIX)/share/icons/hicolor >/dev/null 2>&1 || true
	@-update-desktop-database -q $(PREFIX)/share/applications >/dev/null 2>&1 || true

clean:
	rm -rf build
