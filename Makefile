# The two set-up commands: `make run` builds and starts the program, `make test` builds and
# runs every test. Both install the Debian packages they need first.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
ARGS ?=

.PHONY: all deps configure build run cli test bench screenshots clean install package \
	sanitize sanitize-deps sanitize-asan sanitize-tsan fuzz crashtest

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

# Installs the programs, the desktop entry, the icon and the licence under PREFIX (DESTDIR
# is honoured, as cmake --install honours it).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, in $(BUILD)/: look at it with dpkg-deb -I and dpkg-deb -c.
package: build
	cmake --build $(BUILD) --target package
	@ls -1 $(BUILD)/*.deb

test: build
	@echo "Running the tests"
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

bench: configure
	cmake --build $(BUILD) --target benchmarks
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

# Renders the main window at 1280x800 in six layouts (vertical browser, two trees, two lists,
# quadro vertical, quadro horizontal with large icons in panel B, single list) to PNG files, and
# each of the twelve settings pages over it (settings_01_general.png ... settings_12_shred.png),
# and the first start with the desktop's defaults at 1280x800 and 800x480 (first_start_*.png).
screenshots: configure
	cmake --build $(BUILD) --target test_main_frame test_settings_pages
	cd $(BUILD)/tests && QT_QPA_PLATFORM=offscreen ./test_main_frame --gtest_filter=MainFrameTest.RendersLayoutsToPng:MainFrameTest.RendersFirstStartToPng
	cd $(BUILD)/tests && QT_QPA_PLATFORM=offscreen ./test_settings_pages --gtest_filter=*RendersSettingsPagesToPng
	@ls -1 $(BUILD)/tests/screenshots/*.png

# The sanitizer runs of CI (slower than `make test`, so apart from it): the whole suite built with
# AddressSanitizer and UBSan in build-asan/, the tests that run code on several threads built with
# ThreadSanitizer in build-tsan/. Any report stops the program, so its test fails. Leak reports
# are on; tests/sanitize/lsan.supp only names leaks inside the system's libraries.
SAN_CXX ?= clang++
SAN_FLAGS ?= -O1 -gline-tables-only
SAN_CMAKE_ARGS ?=
# The tests whose code runs on more than one thread: the list worker, find's parallel blocks, the
# message box asked from a worker, the icon cache, the log, the hive, the per-thread errors and
# the search worker. (The zip tests start other programs, and the frame's search test reports
# races inside Qt's own GUI thread pool: neither can run under this checker.)
TSAN_TESTS ?= test_list_worker test_find test_message_box test_icon_manager test_app_log \
	test_file_system test_host_basics test_registry_hive test_search_results
# Tests that start a second program are left out: the thread checker's runtime of this clang
# stops on the clone() of QProcess (a check inside the runtime, not a report on our code).
TSAN_FILTER ?= -HiveTest.SecondProcessSharesTheHive:HiveTest.ACommittedChangeSurvivesAProgramThatDies
SAN_SUPP := $(CURDIR)/tests/sanitize
comma := ,
ASAN_ENV = ASAN_OPTIONS=halt_on_error=1:print_stacktrace=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
	LSAN_OPTIONS=suppressions=$(SAN_SUPP)/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
TSAN_ENV = TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(SAN_SUPP)/tsan.supp

# $(call san_configure,<folder>,<sanitizers>,<more cmake arguments>)
define san_configure
	@if [ ! -f $(1)/build.ninja ]; then \
		echo "Configuring the $(2) build in $(1)/"; \
		cmake -S . -B $(1) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
			-DCMAKE_CXX_COMPILER=$(SAN_CXX) "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=$(SAN_FLAGS)" \
			-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DPINBRO_SANITIZE=$(2) $(3) $(SAN_CMAKE_ARGS); \
	fi
endef

sanitize: sanitize-asan sanitize-tsan

sanitize-deps: deps
	@./scripts/install-deps.sh sanitize

# The AddressSanitizer build; its ctest also replays each fuzz target's seed corpus once.
sanitize-asan: sanitize-deps
	$(call san_configure,build-asan,address$(comma)undefined,)
	cmake --build build-asan
	@echo "Running the tests under AddressSanitizer and UBSan"
	cd build-asan && $(ASAN_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

sanitize-tsan: sanitize-deps
	$(call san_configure,build-tsan,thread)
	cmake --build build-tsan --target $(TSAN_TESTS)
	@echo "Running the threaded tests under ThreadSanitizer"
	@cd build-tsan/tests && for t in $(TSAN_TESTS); do \
		echo "== $$t"; \
		$(TSAN_ENV) QT_QPA_PLATFORM=offscreen ./$$t --gtest_brief=1 \
			--gtest_filter='$(TSAN_FILTER)' || exit 1; \
	done

# Runs each fuzz target of tests/fuzz for FUZZ_SECONDS from its seed corpus, built with
# libFuzzer and AddressSanitizer in build-fuzz/. New inputs go to build-fuzz/fuzz/corpus/<target>/,
# findings to build-fuzz/fuzz/findings/ (the run stops at the first one; add it to the target's
# seed corpus once it is fixed).
# The crash test (on demand, not in CI): pinbro-cli killed at random moments of copy, move,
# recycle, restore, encrypt, decrypt, zip create and zip extract, CRASH_TRIALS times each;
# afterwards every byte must be at its source or complete at its destination, and the next run
# must leave no temporaries.
CRASH_TRIALS ?= 20
CRASH_ARGS ?=
crashtest: build
	python3 scripts/crashtest.py --cli $(BUILD)/app/pinbro-cli --trials $(CRASH_TRIALS) $(CRASH_ARGS)

FUZZ_SECONDS ?= 60
FUZZ_TARGETS := $(filter-out fuzz_support,$(basename $(notdir $(wildcard tests/fuzz/fuzz_*.cpp))))

fuzz: sanitize-deps
	$(call san_configure,build-fuzz,address$(comma)undefined,-DPINBRO_FUZZ=ON)
	cmake --build build-fuzz --target fuzz_targets
	@for t in $(FUZZ_TARGETS); do \
		name=$${t#fuzz_}; \
		mkdir -p build-fuzz/fuzz/corpus/$$name build-fuzz/fuzz/findings; \
		echo "== $$t for $(FUZZ_SECONDS) s"; \
		$(ASAN_ENV) build-fuzz/tests/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
			-artifact_prefix=build-fuzz/fuzz/findings/$$name- \
			build-fuzz/fuzz/corpus/$$name tests/fuzz/$$name || exit 1; \
	done

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz
