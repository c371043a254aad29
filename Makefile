# make show   install what is missing, build, run the full-screen show under Wine
# make test   install what is missing, build everything, run every test
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory
NATIVE := build/native
WIN := build/win

.PHONY: all show test deps native win samples format clean

all: native win

deps:
	@scripts/install-deps.sh

native: deps
	@test -f $(NATIVE)/CMakeCache.txt || cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DRUZIR_SANITIZE=ON >/dev/null
	@cmake --build $(NATIVE) -j2

win: deps
	@test -f $(WIN)/CMakeCache.txt || cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN) -j2

samples: win
	@scripts/make-samples.sh $(WIN)

show: win samples
	@scripts/show.sh

test: native win samples
	@scripts/test.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
