# The two commands of the README, over the CMake presets `linux` and `windows`.
#   make demo   builds the native module and host and runs the demo
#   make test   builds both builds, runs every test of both and of the two sanitizer builds, then each
#               fuzz target for a minute
#   make dist   builds the Windows build and puts the download users install in dist/
.PHONY: all deps linux windows linux-asan linux-tsan test test-linux test-windows test-asan test-tsan demo dist bench fuzz clean

all: linux windows

deps:
	@sh scripts/install-deps.sh

linux: deps
	cmake --preset linux
	cmake --build --preset linux

windows: deps
	cmake --preset windows
	cmake --build --preset windows

test-linux: linux
	ctest --preset linux

# The native build again under the address and undefined-behaviour sanitizers.
linux-asan: deps
	cmake --preset linux-asan
	cmake --build --preset linux-asan

test-asan: linux-asan
	ctest --preset linux-asan

# The native build again under the thread sanitizer: the audio and UI threads share nothing
# unsynchronised.
linux-tsan: deps
	cmake --preset linux-tsan
	cmake --build --preset linux-tsan

test-tsan: linux-tsan
	ctest --preset linux-tsan

# Under a virtual display: the editor's window tests make real windows.
test-windows: windows
	xvfb-run -a sh scripts/with-wine.sh ctest --preset windows

test: test-linux test-windows test-asan test-tsan fuzz

demo: linux
	./build/linux/stage/voxtrane-host demo

# The plugin's folder for FL Studio's Plugins/Fruity/Generators/, zipped by the Windows build as
# dist/KRYL-Voxtrane-<version>-win64.zip.
dist: windows
	mkdir -p dist
	cp build/windows/dist/KRYL-Voxtrane-*-win64.zip dist/

# Benchmarks; the HTTP one measures against civetweb with wrk on loopback.
bench:
	sh scripts/install-deps.sh wrk libcivetweb-dev
	cmake --preset linux
	cmake --build --preset linux
	for b in build/linux/bench/*_bench; do echo "== $$b"; "$$b" || exit 1; done
	bash bench/http_wrk.sh

clean:
	rm -rf build

# libFuzzer targets with sanitizers, each run for FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz --target voxtrane_fuzzers
	sh scripts/run-fuzzers.sh $(FUZZ_SECONDS)
