# Quorvel: make run | make test | make test-sanitize | make bench
JOBS      ?= $(shell nproc)
LAUNCHER  := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
RELEASE   := build/release
SANITIZE  := build/sanitize
THREAD    := build/thread
ANALYSIS  := build/analysis

.PHONY: setup build run test test-sanitize bench clean

setup:
	@tools/setup.sh

$(RELEASE)/build.ninja: | setup
	@cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release $(LAUNCHER) >/dev/null

$(SANITIZE)/build.ninja: | setup
	@cmake -S . -B $(SANITIZE) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_SANITIZE=ON $(LAUNCHER) >/dev/null

$(THREAD)/build.ninja: | setup
	@cmake -S . -B $(THREAD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_TSAN=ON $(LAUNCHER) >/dev/null

build: setup $(RELEASE)/build.ninja
	@cmake --build $(RELEASE) -j $(JOBS)

run: build
	@$(RELEASE)/shell/quorvel

test: build
	@tools/run-tests.sh $(JOBS) $(RELEASE)

$(ANALYSIS)/build.ninja: | setup
	@cmake -S . -B $(ANALYSIS) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
		-DCMAKE_CXX_COMPILER=clang++ -DQUORVEL_THREAD_SAFETY=ON $(LAUNCHER) >/dev/null

# Clang checks every library's mutex annotations (-Wthread-safety -Werror); AddressSanitizer +
# UndefinedBehaviorSanitizer over every test; ThreadSanitizer over the THREADED modules.
test-sanitize: setup $(SANITIZE)/build.ninja $(THREAD)/build.ninja $(ANALYSIS)/build.ninja
	@cmake --build $(ANALYSIS) -j $(JOBS) --target quorvel_libraries
	@cmake --build $(SANITIZE) -j $(JOBS)
	@cmake --build $(THREAD) -j $(JOBS)
	@tools/fuzz.sh 20
	@ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$(CURDIR)/tools/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1 \
		TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tools/tsan.supp" \
		tools/run-tests.sh $(JOBS) $(SANITIZE) $(THREAD)

# Every benchmark, then one table of the figures beside their aims and baselines.
bench: build
	@mkdir -p $(RELEASE)/bench-results
	@for b in $(RELEASE)/bench/bench_*; do echo "== $$b"; \
		$$b --benchmark_out=$(RELEASE)/bench-results/$$(basename $$b).json --benchmark_out_format=json || exit 1; done
	@python3 tools/bench_table.py $(RELEASE)/bench-results

clean:
	@rm -rf build
