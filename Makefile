# Every target wraps CMake; `run` and `test` install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
PREFIX     ?= /usr/local
JOBS       ?= $(shell nproc)

.PHONY: deps build asan-build fuzz run test test-fast install uninstall deb bench clean

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

# The whole suite (with every fuzz target replaying its corpus), then the same suite built with
# AddressSanitizer and UndefinedBehaviorSanitizer. Fuzzing itself is `make fuzz`.
test: deps build asan-build
	scripts/run-tests.sh $(BUILD)
	scripts/run-tests.sh $(ASAN_BUILD) sanitized
	@scripts/test-ratio.sh

# The plain build's suite only, for quick local iterations.
test-fast: deps build
	scripts/run-tests.sh $(BUILD)

# The program under PREFIX/lib/quintrel-tavelle, links in PREFIX/bin, the desktop files under PREFIX/share.
# DESTDIR stages it elsewhere; `uninstall` takes the same DESTDIR and removes what the install listed.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)
	cp $(BUILD)/install_manifest.txt $(BUILD)/installed_files.txt

uninstall:
	DESTDIR="$(DESTDIR)" cmake -DMANIFEST=$(BUILD)/installed_files.txt -P packaging/uninstall.cmake

# quintrel-tavelle_<version>_amd64.deb in this folder, for `apt install ./quintrel-tavelle_*.deb`.
deb: deps build
	cpack --config $(BUILD)/CPackConfig.cmake -G DEB -B $(BUILD)/package
	cp $(BUILD)/package/quintrel-tavelle_*.deb .

bench: deps build
	bench/run.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
