# make run  - install what is missing, build a release binary, start it in ./run
# make test - install what is missing, build with sanitizers, run every test
SHELL := /bin/bash
JOBS ?= $(shell nproc)
RELEASE := build/release
DEBUG := build/debug

.PHONY: run test deps build-release build-debug bench clean

deps:
	@scripts/install-deps

build-release: deps
	@cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(RELEASE) -j $(JOBS) --target orvenna

# The build says where it put the program (CMake's RUNTIME_OUTPUT_DIRECTORY).
run: build-release
	@mkdir -p run
	@program=$$(cat $(RELEASE)/orvenna-program) && cd run && exec "$$program"

build-debug: deps
	@cmake -S . -B $(DEBUG) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVENNA_SANITIZE=ON >/dev/null
	@cmake --build $(DEBUG) -j $(JOBS)

# CTest's summary line is the last line printed on success.
test: build-debug
	@set -o pipefail; ctest --test-dir $(DEBUG) --no-tests=error --output-on-failure -j $(JOBS) 2>&1 \
	  | grep --line-buffered -v '^Total Test time'

bench: deps
	@cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVENNA_BENCH=ON >/dev/null
	@cmake --build build/bench -j $(JOBS) --target list_fill search_keystroke
	@build/bench/bench/list_fill
	@build/bench/bench/search_keystroke

clean:
	rm -rf build
