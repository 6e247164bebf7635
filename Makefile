# The two commands of the README: `make run` and `make test`. Both install what is
# missing first, so they work on a fresh Debian machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WINDOWS_BUILD ?= build-windows
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 10
GENERATOR  := -G Ninja

SOAK_CYCLES ?= 200
SOAK_SEED  ?= 1

.PHONY: all deps build run test test-unit test-asan fuzz fuzz-smoke format clean package package-check soak windows

all: build

deps:
	@bash scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DVRX_WERROR=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Starts the program with a simulated VRX unit listed after the real MIDI devices, so it
# can be tried without a unit. It needs a display (X11 or Wayland).
run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	    echo "make run: no display. Start it from a desktop session, or try: xvfb-run -a make run"; \
	    exit 1; \
	fi
	$(BUILD)/bin/vrxconfig --simulator

test-unit: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Everything again under AddressSanitizer and UndefinedBehaviorSanitizer: the core, the
# MIDI backends and vrxtool through all their tests, the whole program through the
# monkey test and the hand-over test (building every window test again would double
# the run).
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DVRX_WERROR=ON \
	    -DVRX_SANITIZE=ON -DVRX_WINDOW_TESTS="monkey_test;desktop_test"
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	    ctest --output-on-failure -j $(JOBS)

$(FUZZ_BUILD)/build.ninja:
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRX_FUZZ=ON

fuzz-build: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# Every fuzz target for FUZZ_SECONDS; any crash or sanitizer report fails.
fuzz-smoke: fuzz-build
	bash scripts/run-fuzzers $(FUZZ_BUILD)/fuzz $(FUZZ_SECONDS) $(JOBS)

fuzz:
	$(MAKE) fuzz-smoke FUZZ_SECONDS=300

# The Debian package of the build, made with CPack (its dependencies found by
# dpkg-shlibdeps). It lands in $(BUILD)/.
package: build
	rm -f $(BUILD)/vrxconfig_*.deb
	cd $(BUILD) && cpack -G DEB

# Unpacks the package into a temporary root and runs the programs from there.
package-check: package
	bash scripts/check-package $(BUILD)/vrxconfig_*.deb

# vrxtool.exe and the tests of everything below the window, cross-compiled with
# mingw-w64 and run under Wine (in a Wine prefix of the build's own). The comparison
# with the Linux vrxtool needs the Linux build too.
# No build type: unoptimised with assertions on, and without the debugging information
# that makes the static links of the tests slow (nothing here debugs under Wine).
$(WINDOWS_BUILD)/build.ninja:
	cmake -S . -B $(WINDOWS_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE= -DVRX_WERROR=ON \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVRX_LINUX_BUILD=$(abspath $(BUILD))

windows: deps $(BUILD)/build.ninja $(WINDOWS_BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target vrxtool vrx_resources
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	cd $(WINDOWS_BUILD) && ctest --output-on-failure -j $(JOBS)

test: test-unit test-asan fuzz-smoke package-check windows

# Write-and-verify cycles through real JACK ports against `vrxtool simulate`, with
# seeded random faults (not part of make test: 200 cycles take about 20 minutes).
soak: build
	bash scripts/with-jack $(BUILD)/bin/vrxtool \
	    bash scripts/soak $(CURDIR)/$(BUILD)/bin/vrxtool $(SOAK_CYCLES) $(SOAK_SEED)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD)
