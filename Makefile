# Short entry points; CMake and Ninja do the work.
#   make test   install what is missing, build everything, run every test
#   make run    install what is missing, build kalvane alone, start it
#   make bench  build the benchmarks and run them
#   make asan / make fuzz   the sanitizer build's tests; the fuzz targets
#   make tsan   kalvane-arrange and the document under ThreadSanitizer, its tests
#   make fuzz   build the fuzz targets with clang, run each FUZZ_SECONDS
#   make windows / make run-windows   the Windows programs, and kalvane.exe under Wine
#   make package   the Debian package and Windows zips in dist/, checked
#   make test-packages   install dist/'s packages and test them (root)
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build test run bench asan tsan fuzz windows windows-i686 run-windows package test-packages clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure
	bash scripts/test-windows.sh

# The Windows programs, cross-built: build-windows/kalvane.exe, listdrag.exe.
windows: deps
	bash scripts/build-windows.sh

# The 32-bit Windows programs: build-windows-i686/ (this machine cannot run
# them; the build proves they still compile and link).
windows-i686: deps
	KALVANE_WINDOWS_ARCH=i686 bash scripts/build-windows.sh

# Builds the Windows programs and starts kalvane.exe under Wine.
run-windows: windows
	bash scripts/run-windows.sh

# The release packages, into dist/ with their SHA256SUMS, then the checks a
# packager runs on them (lintian, AppStream, desktop entry, manual pages).
package: deps
	bash scripts/package.sh
	bash scripts/check-packages.sh

# Installs the Debian package and unpacks the 64-bit zip, and plays a
# scenario with the installed programs; uninstalls it again. Needs root,
# and the runners of make test.
test-packages: package
	bash scripts/test-packages.sh

# Only kalvane and what it links are built. Without a display that is said
# first, before anything is installed or built.
run:
	@bash scripts/run-kalvane.sh --check-display
	@bash scripts/install-deps.sh
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)
	cmake --build $(BUILD) --target kalvane
	bash scripts/run-kalvane.sh $(BUILD)

bench: build
	cmake --build $(BUILD) --target benchmarks
	$(BUILD)/bench/document_bench
	bash scripts/with-xvfb.sh $(BUILD)/bench/list_bench
	$(BUILD)/bench/arrange_bench

# The document and program tests, and the native programs' end-to-end tests
# (the programs, the backend and the runner all built with the sanitizers),
# under AddressSanitizer and UBSan.
asan: deps
	CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKALVANE_SANITIZE=ON -DKALVANE_GUI=ON
	cmake --build build-asan
	ctest --test-dir build-asan --output-on-failure -L 'sanitized|e2e'

# kalvane-arrange, which arranges files on several threads, and the document
# it shares with kalvane, under ThreadSanitizer; its tests run the program on
# a thousand files with eight threads. A race reported makes the program
# exit 66, which fails the test that ran it.
tsan: deps
	CXX=clang++ cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVANE_TSAN=ON -DKALVANE_GUI=OFF
	cmake --build build-tsan --target kalvane-arrange arrange_tests
	TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -R '^Arrange'

# libFuzzer targets under ASan and UBSan: each runs FUZZ_SECONDS on a copy
# of its corpus (fuzz/corpus/), then the checked-in corpus is replayed.
FUZZ_SECONDS ?= 60
fuzz: deps
	CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVANE_FUZZ=ON -DKALVANE_GUI=OFF
	cmake --build build-fuzz --target fuzz_load fuzz_moves fuzz_drag
	bash fuzz/run.sh build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz build-windows build-windows-i686 build-package dist
