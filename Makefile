# make show   install what is missing, build, run the full-screen show under Wine
# make test   install what is missing, build everything, run every test
# make dist   build the setup program, build/dist/ruzir-setup.exe
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory
NATIVE := build/native
WIN := build/win

.PHONY: all show test bench dialog-shot readme-shots deps native win dist samples format clean

all: native win

deps:
	@scripts/install-deps.sh

native: deps
	@test -f $(NATIVE)/CMakeCache.txt || cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DRUZIR_SANITIZE=ON >/dev/null
	@cmake --build $(NATIVE) -j2

win: deps
	@test -f $(WIN)/CMakeCache.txt || cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN) -j2

# The setup program, from the Windows build's ruzir.scr and sample pictures.
dist: win samples
	@mkdir -p build/dist
	@makensis -V2 -DSAVER=$(CURDIR)/$(WIN)/ruzir.scr -DSAMPLES=$(CURDIR)/$(WIN) \
	  -DOUTFILE=$(CURDIR)/build/dist/ruzir-setup.exe installer/ruzir.nsi

samples: win
	@scripts/make-samples.sh $(WIN)

show: win samples
	@scripts/show.sh

test: native win samples dist
	@scripts/make-test-pictures.sh $(WIN)/test-pictures
	@scripts/test.sh

# Speed and cost figures: native pixel work, loading and listing under Wine,
# the CPU time of the drifting show at 1080p and 4K, and how the show answers,
# starts and ends with camera photos.
bench: win samples
	@test -f build/bench/CMakeCache.txt || cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DRUZIR_BENCH=ON -DRUZIR_TESTS=OFF >/dev/null
	@cmake --build build/bench -j2
	@cmake --build $(WIN) --target ruzir_bench_win ruzir_show_probe -j2
	@build/bench/ruzir_bench
	@bench/load-bench.sh
	@bench/tick-cpu.sh
	@bench/show-bench.sh

# The settings dialog's screenshot for the README.
dialog-shot: win
	@scripts/dialog-shot.sh

# The README's pictures: the show, one change with each effect, the setup
# program's first page.
readme-shots: dist samples
	@scripts/readme-shots.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
