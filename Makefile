# Front door to the CMake build. `make test` is what CI runs.
.PHONY: all deps test build release run install bench fuzz format clean

JOBS ?= 2
BUILD := build
RELEASE := build-release
FUZZ := build-fuzz
PREFIX ?= /usr/local
GEN := -G Ninja

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORIN_SANITIZE=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure --timeout 300

$(RELEASE)/build.ninja: | deps
	cmake -S . -B $(RELEASE) $(GEN) -DCMAKE_BUILD_TYPE=Release

release: deps $(RELEASE)/build.ninja
	cmake --build $(RELEASE) -j $(JOBS) --target pelorin pelorin-tool

run: release
	scripts/run.sh $(RELEASE)

install: deps
	cmake -S . -B $(RELEASE) $(GEN) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(RELEASE) -j $(JOBS) --target pelorin pelorin-tool
	scripts/install.sh $(RELEASE) $(PREFIX)

bench: deps $(RELEASE)/build.ninja
	cmake --build $(RELEASE) -j $(JOBS) --target pelorin_bench
	$(RELEASE)/bench/pelorin_bench $(BENCH_ARGS)

$(FUZZ)/build.ninja: | deps
	cmake -S . -B $(FUZZ) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPELORIN_FUZZ=ON \
	    -DPELORIN_WERROR=ON

FUZZ_SECONDS ?= 20
fuzz: deps $(FUZZ)/build.ninja
	cmake --build $(FUZZ) -j $(JOBS)
	scripts/run-fuzzers.sh $(FUZZ)/fuzz $(FUZZ_SECONDS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(RELEASE) $(FUZZ)
