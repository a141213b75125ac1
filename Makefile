# make run  - install what is missing, build a release binary, start it in ./run
# make test - install what is missing, build with sanitizers (warnings are errors), run every test
SHELL := /bin/bash
JOBS ?= $(shell nproc)
RELEASE := build/release
DEBUG := build/debug

.PHONY: run test deps build-release build-debug bench coverage fuzz clean

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
	@cmake -S . -B $(DEBUG) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVENNA_SANITIZE=ON -DORVENNA_WERROR=ON >/dev/null
	@cmake --build $(DEBUG) -j $(JOBS)

# CTest's summary line is the last line printed on success.
test: build-debug
	@set -o pipefail; ctest --test-dir $(DEBUG) --no-tests=error --output-on-failure -j $(JOBS) 2>&1 \
	  | grep --line-buffered -v '^Total Test time'

bench: deps
	@cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVENNA_BENCH=ON >/dev/null
	@cmake --build build/bench -j $(JOBS) --target list_fill search_keystroke card_add report_render dial_wait interchange import_window \
	  sync_first sync_unchanged jet_upgrade
	@build/bench/bench/list_fill
	@build/bench/bench/search_keystroke
	@build/bench/bench/card_add
	@build/bench/bench/report_render --benchmark_filter=Pdf
	@build/bench/bench/report_render --benchmark_filter=Command
	@build/bench/bench/dial_wait
	@build/bench/bench/interchange --benchmark_filter=-Million
	@build/bench/bench/interchange --benchmark_filter=Million
	@build/bench/bench/import_window
	@build/bench/bench/sync_first
	@build/bench/bench/sync_unchanged
	@[ -f build/jet-book/vesk-90000-10000.mdb ] || scripts/make-jet-book build/jet-book/vesk-90000-10000.mdb || true
	@build/bench/bench/jet_upgrade --benchmark_filter=UpgradeAtStart
	@build/bench/bench/jet_upgrade --benchmark_filter=MdbExport

# The vCard reader, the address-book readers and the Jet reader (libmdb on any bytes) under libFuzzer (clang),
# seeded with the golden files and the small Jet files, for FUZZ_SECONDS
# (600 by default); crashes and slow inputs are left in build/fuzz/findings/. The address-book
# targets start from the small sample files: a file of a thousand cards slows every run.
# libmdb itself crashes, loops and leaks on some damaged files (which is why it runs in a
# process of its own): the Jet target goes on past each finding, leaving it in findings/, and
# ignores leaks (the reader is a process of one file).
FUZZ_SECONDS ?= 600
fuzz: deps
	@command -v clang++ >/dev/null || $$([ "$$(id -u)" -eq 0 ] || echo sudo) apt-get install -y -qq clang >/dev/null
	@cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DORVENNA_FUZZ=ON -DORVENNA_TESTS=OFF >/dev/null
	@cmake --build build/fuzz -j $(JOBS) --target fuzz_vcard
	@mkdir -p build/fuzz/corpus build/fuzz/findings && cp -n tests/data/vcard/*.vcf build/fuzz/corpus/
	@build/fuzz/fuzz/fuzz_vcard -max_total_time=$(FUZZ_SECONDS) -max_len=70000 -timeout=30 \
	  -artifact_prefix=build/fuzz/findings/ build/fuzz/corpus
	@cmake --build build/fuzz -j $(JOBS) --target fuzz_interchange_vcf fuzz_interchange_csv
	@mkdir -p build/fuzz/corpus-vcf build/fuzz/corpus-csv && \
	  find tests/data/interchange -name '*.vcf' -size -16k -exec cp -n {} build/fuzz/corpus-vcf/ \; && \
	  find tests/data/interchange -name '*.csv' -size -16k -exec cp -n {} build/fuzz/corpus-csv/ \;
	@build/fuzz/fuzz/fuzz_interchange_vcf -max_total_time=$(FUZZ_SECONDS) -max_len=16384 -timeout=30 \
	  -artifact_prefix=build/fuzz/findings/ build/fuzz/corpus-vcf
	@build/fuzz/fuzz/fuzz_interchange_csv -max_total_time=$(FUZZ_SECONDS) -max_len=16384 -timeout=30 \
	  -artifact_prefix=build/fuzz/findings/ build/fuzz/corpus-csv
	@cmake --build build/fuzz -j $(JOBS) --target fuzz_jet
	@mkdir -p build/fuzz/corpus-jet && find tests/data/jet -name '*.mdb' -size -160k -exec cp -n {} build/fuzz/corpus-jet/ \;
	@build/fuzz/fuzz/fuzz_jet -max_total_time=$(FUZZ_SECONDS) -max_len=163840 -timeout=30 -rss_limit_mb=2048 \
	  -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 -detect_leaks=0 \
	  -artifact_prefix=build/fuzz/findings/jet- build/fuzz/corpus-jet || \
	  echo "fuzz_jet: findings in build/fuzz/findings/jet-* (a stack in libmdb alone is libmdb's: the reader process contains it)"

# Line coverage of src/ by the whole suite (gcovr); not part of make test.
coverage: deps
	@command -v gcovr >/dev/null || $$([ "$$(id -u)" -eq 0 ] || echo sudo) apt-get install -y -qq gcovr >/dev/null
	@cmake -S . -B build/coverage -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
	@cmake --build build/coverage -j $(JOBS)
	@find build/coverage -name '*.gcda' -delete
	@ctest --test-dir build/coverage -j $(JOBS) | tail -n 3 || true
	@gcovr -r . --filter src/ build/coverage | tail -n 4

clean:
	rm -rf build
