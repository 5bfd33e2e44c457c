# The two set-up commands are `make run` and `make test`; both install what is missing first.
JOBS  ?= 2
# Where `make install` puts the program; DESTDIR stages the tree for a package.
PREFIX ?= /usr/local
DESTDIR ?=
CMAKE ?= cmake
GEN   := -G Ninja

BUILD      := build
BUILD_ASAN := build-asan
BUILD_TSAN := build-tsan
BUILD_BENCH:= build-bench
BUILD_FUZZ := build-fuzz

.PHONY: all deps build run test test-asan test-tsan bench fuzz install clean

all: build

deps:
	@tools/install-deps

$(BUILD)/build.ninja: | deps
	$(CMAKE) -S . -B $(BUILD) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	$(CMAKE) --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/app/fetchwick

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

test-asan: deps
	$(CMAKE) -S . -B $(BUILD_ASAN) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DFETCHWICK_SANITIZE=address
	$(CMAKE) --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) --timeout 900

test-tsan: deps
	$(CMAKE) -S . -B $(BUILD_TSAN) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DFETCHWICK_SANITIZE=thread
	$(CMAKE) --build $(BUILD_TSAN) -j $(JOBS)
	cd $(BUILD_TSAN) && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	  ctest --output-on-failure -j $(JOBS) --timeout 900

bench: deps
	$(CMAKE) -S . -B $(BUILD_BENCH) $(GEN) -DCMAKE_BUILD_TYPE=Release -DFETCHWICK_TESTS=OFF -DFETCHWICK_BENCH=ON
	$(CMAKE) --build $(BUILD_BENCH) -j $(JOBS)
	@for b in $(BUILD_BENCH)/bench/bench_*; do echo "== $$b"; $$b --benchmark_min_time=0.2 || exit 1; done

# libFuzzer targets; run one with e.g. build-fuzz/tests/fuzz/fuzz_utf8 -max_total_time=600
fuzz: deps
	CC=clang CXX=clang++ $(CMAKE) -S . -B $(BUILD_FUZZ) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DFETCHWICK_TESTS=OFF -DFETCHWICK_FUZZ=ON
	$(CMAKE) --build $(BUILD_FUZZ) -j $(JOBS)

# The prefix goes into the build's cache so that a later plain `cmake --install` agrees with it.
install: deps $(BUILD)/build.ninja
	$(CMAKE) -S . -B $(BUILD) -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target fetchwick
	DESTDIR=$(DESTDIR) $(CMAKE) --install $(BUILD)

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_TSAN) $(BUILD_BENCH) $(BUILD_FUZZ)
