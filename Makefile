# The two commands a newcomer needs: `make check` and `make demo`.
BUILD := build
JOBS  ?= 2
NATIVE_PACKAGES := cmake make g++ libgtest-dev googletest

BENCH_BUILD := build-bench
BENCH_NATIVE_PACKAGES := cmake make g++ libbenchmark-dev python3
# Extra harness options, e.g. BENCH_ARGS="--packages 10 --rounds 3".
BENCH_ARGS ?=

.PHONY: check demo build deps format clean bench

deps:
	@sh scripts/install-deps.sh $(NATIVE_PACKAGES)

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

check: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	@sh scripts/demo.sh $(BUILD)/quillora-update

# Release build, micro-benchmarks, then the library benchmark (copy against run).
bench:
	@sh scripts/install-deps.sh $(BENCH_NATIVE_PACKAGES)
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DQUILLORA_BENCH=ON -DQUILLORA_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@mkdir -p scratch/bench
	$(BENCH_BUILD)/bench/quillora-bench-micro --benchmark_min_time=0.2 \
	  --benchmark_out=scratch/bench/micro.json --benchmark_out_format=json
	python3 bench/run_bench.py --build $(BENCH_BUILD) --work scratch/bench \
	  --micro scratch/bench/micro.json $(BENCH_ARGS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) scratch
