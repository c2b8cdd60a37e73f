# ZelBA: build, run the bundled example, test.
#
#   make run        install what is missing, build, run the example into out/
#   make test       install what is missing, build, run the test suite
#   make sanitize   the test suite under AddressSanitizer + UndefinedBehaviorSanitizer
#   make demo       the host application zelba-host on a demo production database
#
# Packages are installed with apt-get (Debian 12), only when absent; as a user
# who is not root, apt-get goes through sudo.

SHELL := /bin/bash
MAKEFLAGS += --no-print-directory

BUILD_DIR := build
ASAN_DIR  := build-asan
OUT_DIR   := out
EXAMPLE   := examples/north_field.ba
JOBS      := $(shell nproc 2>/dev/null || echo 2)

# qt6-charts-dev needs libqt6opengl6-dev for its CMake files but does not
# depend on it.
DEB_PACKAGES := build-essential cmake libgtest-dev libgmock-dev nlohmann-json3-dev \
  libsqlite3-dev qt6-base-dev qt6-charts-dev \
  libqt6opengl6-dev fonts-dejavu-core
TEST_PACKAGES := chromium xvfb xauth xdotool python3

# Every source folder that exists; folders of later subsystems join as they appear.
SOURCE_DIRS := $(wildcard engine input allocation output setup hostmodel host apps tests bench)

.PHONY: all deps test-deps build run test sanitize format format-check clean

all: build

# Installs the packages named in PACKAGES that are missing.
define install_missing
	@missing=""; \
	for pkg in $(1); do \
	  dpkg -s "$$pkg" >/dev/null 2>&1 || missing="$$missing $$pkg"; \
	done; \
	if [ -z "$$missing" ]; then exit 0; fi; \
	sudo=""; \
	if [ "$$(id -u)" -ne 0 ]; then \
	  if command -v sudo >/dev/null 2>&1; then sudo="sudo"; \
	  else echo "deps: missing$$missing; run as root or install sudo" >&2; exit 1; fi; \
	fi; \
	echo "deps: installing$$missing"; \
	$$sudo apt-get update && \
	$$sudo env DEBIAN_FRONTEND=noninteractive \
	  apt-get install -y --no-install-recommends $$missing
endef

deps:
	$(call install_missing,$(DEB_PACKAGES))

# The HTML report test opens the pages in a headless browser.
test-deps: deps
	$(call install_missing,$(TEST_PACKAGES))

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD_DIR) -j$(JOBS)

# Only the program the run needs. ba-engine exits 0 when the run returns
# status 1 and 1 when it returns -1 (see ba-engine --help for the others).
run: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD_DIR) --target ba-engine -j$(JOBS)
	@mkdir -p $(OUT_DIR)
	@rc=0; (cd $(OUT_DIR) && ../$(BUILD_DIR)/ba-engine ../$(EXAMPLE)) || rc=$$?; \
	if [ $$rc -ne 0 ]; then \
	  echo "run failed (ba-engine exit code $$rc)" >&2; exit $$rc; \
	fi; \
	echo "run finished with status 1"; \
	if [ -n "$$(ls -A $(OUT_DIR))" ]; then \
	  echo "outputs in $(OUT_DIR)/:"; ls -l $(OUT_DIR); \
	else \
	  echo "no outputs in $(OUT_DIR)/: the input names no report, totals or load file"; \
	fi

test: test-deps build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j2

# The same suite, built with AddressSanitizer and UndefinedBehaviorSanitizer.
# The options are exported for the build too: test discovery runs the binaries.
sanitize: export ASAN_OPTIONS := detect_leaks=1
sanitize: export LSAN_OPTIONS := suppressions=$(CURDIR)/tests/lsan.supp
sanitize: export UBSAN_OPTIONS := print_stacktrace=1:halt_on_error=1
sanitize: test-deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DZELBA_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j$(JOBS)
	ctest --test-dir $(ASAN_DIR) --output-on-failure -j2

format:
	@command -v clang-format >/dev/null || { echo "format: clang-format not found (apt-get install clang-format)" >&2; exit 1; }
	find $(SOURCE_DIRS) \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 -r clang-format -i

format-check:
	@command -v clang-format >/dev/null || { echo "format-check: clang-format not found (apt-get install clang-format)" >&2; exit 1; }
	find $(SOURCE_DIRS) \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 -r clang-format --dry-run -Werror

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(OUT_DIR) build-fuzz build-tsan

# The host application on the demo database: out/demo.db is created with
# its ready setup record "North month" the first time and kept after that
# (its runs and written-back volumes with it; remove it for a fresh one).
DEMO_DB := $(OUT_DIR)/demo.db
.PHONY: demo
demo: build
	@mkdir -p $(OUT_DIR)
	@if [ -e $(DEMO_DB) ]; then \
	  echo "demo: using the existing $(DEMO_DB) (remove it for a fresh one)"; \
	else \
	  $(BUILD_DIR)/zelba-hostdb demo $(DEMO_DB) && echo "demo: created $(DEMO_DB)"; \
	fi
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "demo: zelba-host needs a display; without one, run the month with" >&2; \
	  echo "  $(BUILD_DIR)/zelba-host run --db $(DEMO_DB)" >&2; exit 1; \
	fi
	$(BUILD_DIR)/zelba-host $(DEMO_DB)

# Benchmark: ba-engine on synthetic fields of 1,000, 10,000 and 100,000 wells
# and a nodal field of 1,000 wells (release build); prints input size, wall
# time, peak memory and the copy floor per field. Other fields:
# make bench BENCH_SIZES="1000000" (a million wells takes a minute or more).
BENCH_SIZES ?=
.PHONY: bench
bench: build
	bash bench/run_bench.sh $(BUILD_DIR) $(BENCH_SIZES)

# The engine's tests under ThreadSanitizer (the batch engine only, without
# the user interface), in build-tsan/.
TSAN_DIR := build-tsan
.PHONY: tsan
tsan: export TSAN_OPTIONS := halt_on_error=1 second_deadlock_stack=1
tsan: deps
	cmake -S . -B $(TSAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELBA_TSAN=ON -DZELBA_INTERACTIVE=OFF
	cmake --build $(TSAN_DIR) -j$(JOBS)
	ctest --test-dir $(TSAN_DIR) --output-on-failure -j2

# Fuzzing the input file: the libFuzzer target built with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer into build-fuzz/, run for FUZZ_SECONDS from the
# seed corpus tests/fuzz/corpus/. A finding stops the run and fails the target;
# its input is left in build-fuzz/artifacts/.
FUZZ_DIR      := build-fuzz
FUZZ_SECONDS  ?= 120
# Seconds one input may take before it counts as a finding (a hang). Inputs are
# not all fast: a well on the nodal method whose data leave no rate searches
# for it through its whole budget of 100 traverses, about 10 ms per well-day
# in the release build and several times that under the sanitizers, so an
# input of a few such wells over a month takes seconds. The cost stays
# bounded and linear in the well-days; 20 s tells a hang from it.
FUZZ_TIMEOUT  ?= 20
FUZZ_PACKAGES := build-essential cmake clang-14 libclang-rt-14-dev

.PHONY: fuzz
fuzz: deps
	$(call install_missing,$(FUZZ_PACKAGES))
	cmake -S tests/fuzz -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(FUZZ_DIR) --target fuzz_engine -j$(JOBS)
	@mkdir -p $(FUZZ_DIR)/corpus $(FUZZ_DIR)/artifacts
	$(FUZZ_DIR)/fuzz_engine -max_total_time=$(FUZZ_SECONDS) -timeout=$(FUZZ_TIMEOUT) -rss_limit_mb=2048 \
	  -dict=tests/fuzz/input.dict -artifact_prefix=$(FUZZ_DIR)/artifacts/ -print_final_stats=1 \
	  $(FUZZ_DIR)/corpus tests/fuzz/corpus
