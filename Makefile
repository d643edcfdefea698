# The two commands a newcomer needs: `make check` and `make demo`.
BUILD := build
JOBS  ?= 2
NATIVE_PACKAGES := cmake make g++ libgtest-dev googletest
# The Windows build: cross-built with MinGW-w64, tested under Wine.
WINDOWS_BUILD := build-windows
WINDOWS_PACKAGES := cmake make g++-mingw-w64-x86-64 googletest wine wine64

# The test suite under ASan and UBSan, and the fuzz targets of fuzz/ (clang).
SANITIZE_BUILD := build-asan
FUZZ_BUILD := build-fuzz
FUZZ_PACKAGES := cmake make clang libclang-rt-14-dev
# Seconds each fuzz target runs in `make fuzz`; `make check` gives each 30.
FUZZ_SECONDS ?= 300

BENCH_BUILD := build-bench
BENCH_NATIVE_PACKAGES := cmake make g++ libbenchmark-dev python3 time
# Extra harness options, e.g. BENCH_ARGS="--packages 10 --rounds 3".
BENCH_ARGS ?=

.PHONY: check test demo build native deps format clean bench windows check-windows deps-windows

deps:
	@sh scripts/install-deps.sh $(NATIVE_PACKAGES)

build: deps
	@$(MAKE) --no-print-directory native

# The native build alone, with what is installed.
native:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

# The native tests: no installs, no other builds.
test: native
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

check: deps
	@$(MAKE) --no-print-directory test
	@$(MAKE) --no-print-directory check-sanitize
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=30
	@$(MAKE) --no-print-directory check-windows
	@$(MAKE) --no-print-directory check-package

.PHONY: check-sanitize fuzz

# Every test again, the process tests' program included, with any sanitizer
# report failing its test.
check-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DQUILLORA_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS; its corpus grows in $(FUZZ_BUILD)/corpus.
fuzz:
	@sh scripts/install-deps.sh $(FUZZ_PACKAGES)
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DQUILLORA_FUZZ=ON \
	  -DQUILLORA_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz-catalog fuzz-bookdata
	sh scripts/fuzz.sh $(FUZZ_BUILD) catalog $(FUZZ_SECONDS)
	sh scripts/fuzz.sh $(FUZZ_BUILD) bookdata $(FUZZ_SECONDS)

deps-windows:
	@sh scripts/install-deps.sh $(WINDOWS_PACKAGES)

# quillora-update.exe and KIVRes.dll in $(WINDOWS_BUILD), and the Wine prefix
# the tests run in. Release: what ships, and without debug information the
# cross build takes a quarter less time.
windows: deps-windows
	cmake -S . -B $(WINDOWS_BUILD) --toolchain cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

# Wine now and then fails to start a test's process (it ends at once, with
# nothing printed): a failed test runs once more, and one that fails again is
# a failure.
check-windows: windows
	cd $(WINDOWS_BUILD) && ctest --output-on-failure -j $(JOBS) --repeat until-pass:2

demo: build
	@sh scripts/demo.sh $(BUILD)/quillora-update

# The Debian package (a Release build of its own, with Debian's hardening
# flags) and the Windows zip (from the Windows build), both left in $(PACKAGE_DIR).
PACKAGE_DIR := build-package
PACKAGE_PACKAGES := dpkg-dev file
CHECK_PACKAGE_PACKAGES := lintian man-db groff

.PHONY: package check-package

package: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
package: windows
	@sh scripts/install-deps.sh $(NATIVE_PACKAGES) $(PACKAGE_PACKAGES)
	cmake -S . -B $(PACKAGE_DIR)/native -DCMAKE_BUILD_TYPE=Release -DQUILLORA_TESTS=OFF \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)"
	cmake --build $(PACKAGE_DIR)/native -j $(JOBS)
	cd $(PACKAGE_DIR)/native && cpack -B $(CURDIR)/$(PACKAGE_DIR)
	cd $(WINDOWS_BUILD) && cpack -B $(CURDIR)/$(PACKAGE_DIR)

# The packages unpacked in scratch folders and run; the manual page and lintian.
check-package: build package
	@sh scripts/install-deps.sh $(CHECK_PACKAGE_PACKAGES)
	sh scripts/check-package.sh $(PACKAGE_DIR) $(BUILD) $(WINDOWS_BUILD)

# Release build, micro-benchmarks, then the library benchmark (copy against run).
bench:
	@sh scripts/install-deps.sh $(BENCH_NATIVE_PACKAGES)
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DQUILLORA_BENCH=ON -DQUILLORA_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@mkdir -p scratch/bench
	$(BENCH_BUILD)/bench/quillora-bench-micro --benchmark_min_time=0.2 \
	  --benchmark_min_warmup_time=0.1 --benchmark_repetitions=5 \
	  --benchmark_display_aggregates_only=true \
	  --benchmark_out=scratch/bench/micro.json --benchmark_out_format=json
	python3 bench/run_bench.py --build $(BENCH_BUILD) --work scratch/bench \
	  --micro scratch/bench/micro.json $(BENCH_ARGS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD) $(PACKAGE_DIR) scratch
