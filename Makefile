# Every target wraps CMake; `run` and `test` install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
PREFIX     ?= /opt/quintrel-tavelle
JOBS       ?= $(shell nproc)

.PHONY: deps build asan-build run test test-fast install bench clean

deps:
	@scripts/install-deps.sh

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

asan-build:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUINTREL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)

run: deps build
	cd $(BUILD) && ./bin/quintrel-tavelle

# The whole suite, then the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
test: deps build asan-build
	scripts/run-tests.sh $(BUILD)
	scripts/run-tests.sh $(ASAN_BUILD) sanitized
	@scripts/test-ratio.sh

# The plain build's suite only, for quick local iterations.
test-fast: deps build
	scripts/run-tests.sh $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

bench: deps build
	bench/run.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
