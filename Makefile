# The two commands a newcomer needs: `make check` and `make demo`.
BUILD := build
JOBS  ?= 2
NATIVE_PACKAGES := cmake make g++ libgtest-dev googletest

.PHONY: check demo build deps format clean

deps:
	@sh scripts/install-deps.sh $(NATIVE_PACKAGES)

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

check: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	@sh scripts/demo.sh $(BUILD)/quillora-update

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) scratch
