# Every target wraps CMake; `run` and `test` install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
PREFIX     ?= /usr/local
JOBS       ?= $(shell nproc)

.PHONY: deps build asan-build run test test-fast install uninstall deb bench clean

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
	rm -rf $(BUILD) $(ASAN_BUILD)
