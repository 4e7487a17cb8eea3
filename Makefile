# The commands of the README:
#   make run   set up, build and start the desktop program
#   make test  set up, build and run every test (normal build and sanitizer build)
#   make package  the Debian package build/velmora_<version>_amd64.deb
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

FUZZ_TIME ?= 60
FUZZ_TARGETS := fraction_parse matrix_reader evaluate matrix_equation sts_loader tools_loader polynomial_reader

# make soak: random use of the windows under the sanitizers for SOAK_TIME
# seconds; SOAK_SEED (and SOAK_ACTIONS) replay a run that found something.
SOAK_TIME ?= 600
SOAK_SEED ?=
SOAK_ACTIONS ?=
# make test runs it for 20 seconds with this seed.
TEST_SOAK_SEED := 20261207
SOAK = build-asan/tests/soak/velmora_soak

.PHONY: all setup build run package deb test test-normal test-package test-sanitize test-fuzz fuzz \
	fuzz-build soak soak-build test-soak bench clean

all: build

setup:
	./scripts/setup

build: setup
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

run: build
	./scripts/run-demo build

package: setup
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	$(MAKE) --no-print-directory deb

# cpack in the Release tree build/, with only what the package holds built.
deb:
	test -f build/CMakeCache.txt || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS) --target velmora-installed
	rm -f build/velmora_*.deb
	cd build && cpack -G DEB

test: setup test-normal test-package test-sanitize test-soak test-fuzz

test-normal:
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR=ON $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)
	ctest --test-dir build --output-on-failure -j $(JOBS)

# The package, from the Release tree test-normal has just built, and its checks.
test-package: deb
	./scripts/check-package build

test-sanitize:
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_WERROR=ON \
	    -DVELMORA_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS)
	ctest --test-dir build-asan --output-on-failure -j $(JOBS)

# The soak lives in the sanitizer tree: only its own target is built here.
soak-build:
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_WERROR=ON \
	    -DVELMORA_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS) --target velmora_soak

soak: setup soak-build
	$(SOAK) --seconds $(SOAK_TIME) $(if $(SOAK_SEED),--seed $(SOAK_SEED)) \
	    $(if $(SOAK_ACTIONS),--actions $(SOAK_ACTIONS))

test-soak: soak-build
	$(SOAK) --seconds 20 --seed $(TEST_SOAK_SEED)

fuzz-build:
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	    -DVELMORA_FUZZ=ON -DVELMORA_GUI=OFF -DVELMORA_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build build-fuzz -j $(JOBS)

# Every fuzz target for FUZZ_TIME seconds, on a copy of the seed corpus.
fuzz: setup fuzz-build
	./scripts/fuzz build-fuzz $(FUZZ_TIME) $(FUZZ_TARGETS)

# A short run of every target, so they keep building and running.
test-fuzz: fuzz-build
	./scripts/fuzz build-fuzz 5 $(FUZZ_TARGETS)

bench: setup
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON \
	    -DVELMORA_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS)
	./build-bench/bench/velmora_bench
	./build-bench/bench/velmora_window_bench
	./bench/startup.sh build-bench

clean:
	rm -rf build build-asan build-bench build-fuzz
