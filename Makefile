# The two commands of README.md. Both first install what the machine lacks.
#   make demo   build everything and run the meters on a test signal
#   make test   build the three toolchains and run every test
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps build native win64 win32 asan tsan test fuzz demo bench clean

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

# The native tree under AddressSanitizer with UndefinedBehaviorSanitizer, and
# under ThreadSanitizer: Debian's g++ alone, no other package.
asan: deps
	@cmake -S . -B build/asan $(CMAKE_FLAGS) -DORVANE_SANITIZE=address >/dev/null
	@cmake --build build/asan -j $(JOBS)

tsan: deps
	@cmake -S . -B build/tsan $(CMAKE_FLAGS) -DORVANE_SANITIZE=thread >/dev/null
	@cmake --build build/tsan -j $(JOBS)

build: native win64 win32

# The sanitizer builds run with the others: under AddressSanitizer the
# native unit tests and a fixed-seed fuzz run, under ThreadSanitizer the
# tests where threads meet.
test: build asan tsan
	@scripts/run-tests.sh build/native build/win64 build/win32 build/asan build/tsan

# Long fuzz runs: FUZZ_SEEDS seeds from FUZZ_SEED on, FUZZ_STEPS steps each,
# through the native plug-in under the sanitizers and the 64-bit DLL under
# Wine (FUZZ_SECONDS also ends each run after that many seconds). A failure
# prints the seed that replays it.
FUZZ_STEPS ?= 1000000
FUZZ_SEED ?= $(shell date +%s)
FUZZ_SEEDS ?= 1
FUZZ_BUILDS ?= build/asan build/win64
fuzz: asan win64
	@tools/fuzz/run-fuzz.sh $(FUZZ_STEPS) $(FUZZ_SEED) $(FUZZ_SEEDS) $(FUZZ_BUILDS)

demo: build
	@scripts/demo.sh

bench: native
	@scripts/run-bench.sh

clean:
	rm -rf build
