# Two commands do all the set-up on a fresh Debian machine:
#   make run    installs what is missing, builds the program only, and starts it in ./run with the
#               virtual board selected and the sample display list loaded
#   make test   installs what is missing, builds, and runs every test
# `make install PREFIX=/some/where` installs orvmon, orvtool, the desktop entry, icon and samples.
BUILD ?= build
TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
RUN_DIR ?= run
PREFIX ?= /usr/local
RUN_ARGS ?= --device arinc10 --list scenario.42i

.PHONY: all deps build run install test bench fuzz clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(TYPE) $(CMAKE_FLAGS) >/dev/null

build: deps $(BUILD)/build.ninja
	@cmake --build $(BUILD) -j $(JOBS)

# The program reads and writes its files in the current directory; it runs in $(RUN_DIR), seeded
# once with the sample formats, dictionary and display list (existing files are never replaced).
# Only the program is built, not the tests and benchmarks. RUN_ARGS= starts it bare.
run: deps $(BUILD)/build.ninja
	@cmake --build $(BUILD) -j $(JOBS) --target orvmon
	@scripts/install-deps --run
	@scripts/seed-run-dir $(RUN_DIR)
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then cd $(RUN_DIR) && ../$(BUILD)/orvmon $(RUN_ARGS); \
	else cd $(RUN_DIR) && xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '\
	  echo "No display: orvmon runs on the virtual display $$DISPLAY (process $$$$)."; \
	  echo "  See the window:  DISPLAY=$$DISPLAY XAUTHORITY=$$XAUTHORITY import -window root /tmp/orvmon.png"; \
	  echo "                   (ImageMagick), then open /tmp/orvmon.png in an image viewer."; \
	  echo "  Stop it:         Ctrl+C here, or kill $$$$"; \
	  exec ../$(BUILD)/orvmon $(RUN_ARGS)' || { s=$$?; [ $$s -eq 143 ] || [ $$s -eq 130 ] || exit $$s; }; fi

install: deps $(BUILD)/build.ninja
	@cmake --build $(BUILD) -j $(JOBS) --target orvmon orvtool
	@cmake --install $(BUILD) --prefix $(PREFIX)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-release -j $(JOBS)
	@for b in build-release/bench/orv_bench_*; do echo "== $$b"; $$b; done
	@if command -v Xvfb >/dev/null; then echo "== build-release/bench/orv_bench_live --window=xvfb"; \
	  build-release/bench/orv_bench_live --window=xvfb; fi

# Every fuzz target for FUZZ_SECONDS seconds (clang, libFuzzer, ASan + UBSan); CI runs them briefly
# with fixed seeds (.ci/run). New inputs are kept in build-fuzz/corpus/, crashes in build-fuzz/artifacts/.
FUZZ_SECONDS ?= 300
fuzz: deps
	@fuzz/run $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) build-release build-asan build-tsan build-fuzz
