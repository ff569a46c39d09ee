# Every target wraps CMake; `run` and `test` install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
PREFIX     ?= /opt/quintrel-tavelle
JOBS       ?= $(shell nproc)

.PHONY: deps build asan-build fuzz run test test-fast install bench clean

deps:
	@scripts/install-deps.sh

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

asan-build:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUINTREL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)

# Every fuzz target (fuzz/fuzz_*.cpp), built with clang and libFuzzer in its own tree, for FUZZ_SECONDS each.
fuzz:
	@EXTRA_PACKAGES="clang libclang-rt-14-dev" scripts/install-deps.sh
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUINTREL_FUZZ=ON \
	  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_targets
	scripts/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

run: deps build
	cd $(BUILD) && ./bin/quintrel-tavelle

# The whole suite, then the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer, then
# every fuzz target for 30 seconds.
test: deps build asan-build
	scripts/run-tests.sh $(BUILD)
	scripts/run-tests.sh $(ASAN_BUILD) sanitized
	$(MAKE) fuzz FUZZ_SECONDS=30

# The plain build's suite only, for quick local iterations.
test-fast: deps build
	scripts/run-tests.sh $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

bench: deps build
	bench/run.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
