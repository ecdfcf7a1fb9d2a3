# The commands a newcomer types: `make run`, `make test`, `make dist`.
.PHONY: all setup native asan win32 win64 test run dist bench fuzz clean

JOBS ?= $(shell nproc)

all: native win32 win64

setup:
	@bash scripts/setup.sh

# A changed preset configures its build folder again.
build/%/CMakeCache.txt: CMakePresets.json | setup
	cmake --preset $* >/dev/null && touch $@

native asan win32 win64: %: setup build/%/CMakeCache.txt
	cmake --build build/$@ -j $(JOBS)

test: native asan win32 win64 fuzz-build
	bash scripts/test.sh

# The libFuzzer targets (clang); `make test` runs them briefly, `make fuzz` for five minutes each.
fuzz-build: setup build/fuzz/CMakeCache.txt
	cmake --build build/fuzz --target fuzzers -j $(JOBS)

fuzz: fuzz-build
	FUZZ_SECONDS=$${FUZZ_SECONDS:-300} bash scripts/test.d/fuzz.sh

# Figures, not tests: the stand-in, then the i686 and x86_64 builds under Wine side by side
# (about six minutes a build at the default sizes, each measure in a process of its own).
bench: setup build/bench-native/CMakeCache.txt build/bench-win32/CMakeCache.txt \
       build/bench-win64/CMakeCache.txt
	cmake --build build/bench-native --target bench_standin -j $(JOBS)
	cmake --build build/bench-win32 --target bench_wine -j $(JOBS)
	cmake --build build/bench-win64 --target bench_wine -j $(JOBS)
	bash scripts/bench.sh

# The shipped i686 build; the x86_64 one only where the kernel cannot run 32-bit programs.
run: win32
	@bash scripts/runs_32bit.sh 2>/dev/null || $(MAKE) --no-print-directory win64
	bash scripts/run.sh

dist: win32 win64
	bash scripts/dist.sh

clean:
	rm -rf build
