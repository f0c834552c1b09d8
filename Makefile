# Quorvel: make run | make test | make test-sanitize | make bench | make soak
JOBS      ?= $(shell nproc)
LAUNCHER  := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
RELEASE   := build/release
SANITIZE  := build/sanitize
THREAD    := build/thread
STAGE     := tools/stage.sh
# How long CI walks the app in the sanitizer build, on a fresh seed each run.
SOAK_CI_SECONDS ?= 180
CLANG     := -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++

# A compiler cache serves a checkout at any path: ccache hashes the paths inside it as relative ones.
export CCACHE_BASEDIR   := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: setup build run test test-sanitize bench soak clean

setup:
	@tools/setup.sh

$(RELEASE)/build.ninja: | setup
	@cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release $(LAUNCHER) >/dev/null

# One clang build serves three checks: it compiles everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, checks the mutex annotations on the way (-Wthread-safety -Werror), and
# instruments the libraries for coverage so that the libFuzzer targets link against the same objects.
$(SANITIZE)/build.ninja: | setup
	@cmake -S . -B $(SANITIZE) -G Ninja -DCMAKE_BUILD_TYPE=Debug $(CLANG) -DQUORVEL_SANITIZE=ON \
		-DQUORVEL_THREAD_SAFETY=ON -DQUORVEL_FUZZ=ON $(LAUNCHER) >/dev/null

$(THREAD)/build.ninja: | setup
	@cmake -S . -B $(THREAD) -G Ninja -DCMAKE_BUILD_TYPE=Debug $(CLANG) -DQUORVEL_TSAN=ON $(LAUNCHER) >/dev/null

build: setup $(RELEASE)/build.ninja
	@$(STAGE) "release build" cmake --build $(RELEASE) -j $(JOBS)

# Only the program and its decoding child: a first run need not wait for every test and benchmark.
run: setup $(RELEASE)/build.ninja
	@$(STAGE) "app build" cmake --build $(RELEASE) -j $(JOBS) --target quorvel
	@$(RELEASE)/shell/quorvel

test: build
	@$(STAGE) "release tests" tools/run-tests.sh $(JOBS) $(RELEASE)

# The sanitizer build, then a 20-second libFuzzer run of each reader of untrusted bytes, then every
# test under AddressSanitizer + UndefinedBehaviorSanitizer and the THREADED modules' tests under
# ThreadSanitizer (its build compiles only those and what they link). The threaded tests spend most of
# their time waiting on threads and child processes: the two builds' tests run at once, JOBS cases of each,
# so two to a core. ThreadSanitizer holds a process that ever had a second thread for a second at its
# exit, for late threads to report; a tenth serves ours, whose threads are done or idle by then, and
# takes six minutes of waiting off the threaded tests.
test-sanitize: setup $(SANITIZE)/build.ninja $(THREAD)/build.ninja
	@$(STAGE) "sanitizer build" cmake --build $(SANITIZE) -j $(JOBS)
	@$(STAGE) "thread-sanitizer build" cmake --build $(THREAD) -j $(JOBS) --target quorvel_tests
	@$(STAGE) fuzzing tools/fuzz.sh 20 $(SANITIZE) $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$(CURDIR)/tools/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1 \
		TSAN_OPTIONS="halt_on_error=1 atexit_sleep_ms=100 suppressions=$(CURDIR)/tools/tsan.supp" \
		$(STAGE) "sanitizer tests" tools/run-tests.sh $(JOBS) $(SANITIZE) $(THREAD)
	@ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$(CURDIR)/tools/lsan.supp" \
		$(STAGE) "soak walk" $(SANITIZE)/tests/soak/quorvel_soak --seconds $(SOAK_CI_SECONDS) --shrink-seconds 300

# Every benchmark, then one table of the figures beside their aims and baselines. A program that fails
# still leaves the table to be printed; it, a row not measured and a missed aim each fail the run.
bench: setup $(RELEASE)/build.ninja
	@cmake --build $(RELEASE) -j $(JOBS) --target quorvel_benchmarks
	@python3 tools/bench_table.py --start $(RELEASE)/bench-results
	@failed=""; for b in $(RELEASE)/bench/bench_*; do echo "== $$b"; \
		$$b --benchmark_out=$(RELEASE)/bench-results/$$(basename $$b).json --benchmark_out_format=json \
			|| failed="$$failed $$(basename $$b)"; done; \
		python3 tools/bench_table.py $(RELEASE)/bench-results; table=$$?; \
		if [ -n "$$failed" ]; then echo "FAILED: benchmark programs that did not end well:$$failed"; exit 1; fi; \
		exit $$table

# A randomised walk through the whole app: SECONDS=how long (default 300), SEED=which walk (a fresh
# one by default, printed first). A failure prints its steps shrunk and the command that replays them.
soak: setup $(RELEASE)/build.ninja
	@cmake --build $(RELEASE) -j $(JOBS) --target quorvel_soak
	@$(RELEASE)/tests/soak/quorvel_soak --seconds $(or $(SECONDS),300) $(if $(SEED),--seed $(SEED))

clean:
	@rm -rf build
