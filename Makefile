# The two commands of README.md. Both first install what the machine lacks.
#   make demo   build everything and run the meters on a test signal
#   make test   build the three toolchains and run every test
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps build native win64 win32 test demo bench clean

all: build

deps:
	@scripts/install-deps.sh

native: deps
	@cmake -S . -B build/native $(CMAKE_FLAGS) >/dev/null
	@cmake --build build/native -j $(JOBS)

win64: deps
	@cmake -S . -B build/win64 $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake >/dev/null
	@cmake --build build/win64 -j $(JOBS)

win32: deps
	@cmake -S . -B build/win32 $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake >/dev/null
	@cmake --build build/win32 -j $(JOBS)

build: native win64 win32

test: build
	@scripts/run-tests.sh build/native build/win64 build/win32

demo: build
	@scripts/demo.sh

bench: native
	@scripts/run-bench.sh

clean:
	rm -rf build
