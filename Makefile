# The two commands of the README:
#   make run   set up, build and start the desktop program
#   make test  set up, build and run every test (normal build and sanitizer build)
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all setup build run test test-normal test-sanitize bench clean

all: build

setup:
	./scripts/setup

build: setup
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

run: build
	./scripts/run-demo build

test: setup test-normal test-sanitize

test-normal:
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR=ON $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)
	ctest --test-dir build --output-on-failure -j $(JOBS)

test-sanitize:
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_WERROR=ON \
	    -DVELMORA_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS)
	ctest --test-dir build-asan --output-on-failure -j $(JOBS)

bench: setup
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON \
	    -DVELMORA_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS)
	./build-bench/bench/velmora_bench

clean:
	rm -rf build build-asan build-bench
