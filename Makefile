# Front door: make demo | make test | make test-long | make bench | make run | make install
#             make package
#             make fuzz (FUZZ_SECONDS per target) | make soak (SOAK_MINUTES, SOAK_KILLS)
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD?= build-release
PKG_BUILD  ?= build-package
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
# make install PREFIX=/opt/tracely DESTDIR=/tmp/stage
PREFIX     ?=
DESTDIR    ?=
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS?=

.PHONY: all setup configure build test test-long test-sanitize layers bench demo run install package format clean \
	fuzz soak

all: build

setup:
	@./scripts/setup.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

configure: setup $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The ordinary suite: every line fault once, 20 kills during a save; the long tests apart.
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen TRACELY_KILL_RUNS=20 \
	  ctest --output-on-failure --no-tests=error -j $(JOBS) -LE long

# The long tests (a few minutes): the whole line-fault matrix, 45 s of the soak, 200 kills.
test-long: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen \
	  ctest --output-on-failure --no-tests=error -j $(JOBS) -L long
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen \
	  ctest --output-on-failure --no-tests=error -R '^test_kill_during_save$$'

# The library graph CMake sees, checked for cycles, and every include against its folder's rule.
layers: configure
	cmake -S . -B $(BUILD) --graphviz=$(BUILD)/graph/libraries.dot >/dev/null
	python3 scripts/check_layers.py --cmake-graph $(BUILD)/graph/libraries.dot

test-sanitize: setup
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTRACELY_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure --no-tests=error -j $(JOBS)

# libFuzzer targets under ASan + UBSan, with clang in a build tree of their own.
fuzz:
	@./scripts/setup.sh fuzz
	FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) ./scripts/fuzz.sh $(FUZZ_BUILD)


bench: setup
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DTRACELY_TESTS=OFF -DTRACELY_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	./scripts/bench.sh $(BENCH_BUILD)

# Half an hour of repeat mode with random line faults (SOAK_MINUTES to shorten).
# The long runs: repeat mode with random line faults (SOAK_MINUTES), then the program killed
# SOAK_KILLS times during its save.
soak: configure
	cmake --build $(BUILD) -j $(JOBS) --target test_soak test_kill_during_save tracely tracely-sim
	./scripts/soak.sh $(BUILD)

# The program and the simulator only: the tests are not needed to look at it.
demo: configure
	cmake --build $(BUILD) -j $(JOBS) --target tracely tracely-sim
	./scripts/demo.sh $(BUILD)

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) $(if $(PREFIX),--prefix "$(PREFIX)")

# A Release build of the program alone, packaged as a .deb in $(PKG_BUILD)/.
package: setup
	cmake -S . -B $(PKG_BUILD) -DCMAKE_BUILD_TYPE=Release -DTRACELY_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(PKG_BUILD) -j $(JOBS)
	cd $(PKG_BUILD) && cpack -G DEB

run: build
	./$(BUILD)/tracely

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(PKG_BUILD) $(FUZZ_BUILD)
