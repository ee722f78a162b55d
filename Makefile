# Two commands do all the set-up on a fresh Debian machine:
#   make run    installs what is missing, builds, and starts the program in ./run
#   make test   installs what is missing, builds, and runs every test
BUILD ?= build
TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
RUN_DIR ?= run

.PHONY: all deps build run test bench fuzz clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(TYPE) $(CMAKE_FLAGS) >/dev/null

build: deps $(BUILD)/build.ninja
	@cmake --build $(BUILD) -j $(JOBS)

# The program reads and writes its files in the current directory; it runs in $(RUN_DIR), seeded
# once with the sample formats, dictionary and display list (existing files are never replaced).
run: build
	@scripts/install-deps --run
	@scripts/seed-run-dir $(RUN_DIR)
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then cd $(RUN_DIR) && ../$(BUILD)/orvmon; \
	else echo "No display: starting under Xvfb (set DISPLAY to see the window)"; \
	     cd $(RUN_DIR) && xvfb-run -a ../$(BUILD)/orvmon; fi

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-release -j $(JOBS)
	@for b in build-release/bench/orv_bench_*; do echo "== $$b"; $$b; done

# Every fuzz target for FUZZ_SECONDS seconds (clang, libFuzzer, ASan + UBSan); CI runs them briefly
# with fixed seeds (.ci/run). New inputs are kept in build-fuzz/corpus/, crashes in build-fuzz/artifacts/.
FUZZ_SECONDS ?= 300
fuzz: deps
	@fuzz/run $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) build-release build-asan build-tsan build-fuzz
