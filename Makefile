# The two set-up commands: `make run` builds and starts the program, `make test` builds and
# runs every test. Both install the Debian packages they need first.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
ARGS ?=

.PHONY: all deps configure build run cli test bench screenshots clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@if [ ! -f $(BUILD)/build.ninja ]; then \
		echo "Configuring the build in $(BUILD)/"; \
		cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE); \
	fi

build: configure
	@echo "Building in $(BUILD)/"
	cmake --build $(BUILD)

run: build
	@echo "Starting pinbro"
	$(BUILD)/app/pinbro $(ARGS)

test: build
	@echo "Running the tests"
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

bench: configure
	cmake --build $(BUILD) --target benchmarks
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

# Renders the main window at 1280x800 in six layouts (vertical browser, two trees, two lists,
# quadro vertical, quadro horizontal with large icons in panel B, single list) to PNG files.
screenshots: configure
	cmake --build $(BUILD) --target test_main_frame
	cd $(BUILD)/tests && QT_QPA_PLATFORM=offscreen ./test_main_frame --gtest_filter=MainFrameTest.RendersLayoutsToPng
	@ls -1 $(BUILD)/tests/screenshots/*.png

clean:
	rm -rf $(BUILD)
