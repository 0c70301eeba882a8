# Brevix: the two set-up commands are `make run` and `make test`.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build run test package install bench asan fuzz format clean

all: build

deps:
	@bash scripts/deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j 2 --timeout 300

# A Debian package in build/: brevix_<version>_<arch>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

# Installs under PREFIX (default /usr/local).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

bench: deps
	cmake -S . -B $(BUILD) -G Ninja -DBREVIX_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	@bash scripts/bench.sh $(BUILD)

asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DBREVIX_SANITIZE=ON -DBREVIX_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j 2 --timeout 600

# libFuzzer over the dictionary reader and the tag parser, a minute each.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DBREVIX_FUZZ=ON -DBREVIX_TESTS=OFF \
		-DBREVIX_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) --target fuzz -j $(JOBS)
	for f in $(FUZZ_BUILD)/bin/fuzz_*; do mkdir -p $(FUZZ_BUILD)/corpus/$$(basename $$f); \
		$$f -max_total_time=$(FUZZ_SECONDS) $(FUZZ_BUILD)/corpus/$$(basename $$f) || exit 1; done

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
