# Front door to the CMake build. `make test` is what CI runs.
.PHONY: all deps test build release run install package bench fuzz format translations clean

JOBS ?= 2
BUILD := build
RELEASE := build-release
FUZZ := build-fuzz
PACKAGE := build-package
PREFIX ?= /usr/local
# The version the programs print, as the top CMakeLists.txt sets it.
VERSION := $(shell sed -n 's/^project.Pelorin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
GEN := -G Ninja

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORIN_SANITIZE=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# The check of a built .deb (label package) runs with `make package`, not here.
test: build
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure --timeout 300 -LE package

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

# The Debian package, from a release build of the programs alone, then its check.
$(PACKAGE)/build.ninja: | deps
	cmake -S . -B $(PACKAGE) $(GEN) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	    -DPELORIN_TESTS=OFF -DPELORIN_BENCH=OFF

package: deps $(PACKAGE)/build.ninja
	cmake --build $(PACKAGE) -j $(JOBS) --target package
	tests/install/check-package.sh $(PACKAGE) tests/install/installed-files.txt $(VERSION)

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

# Brings translations/pelorin_en.ts up to date with the texts of the sources (see README).
translations: deps
	scripts/update-translations.sh

clean:
	rm -rf $(BUILD) $(RELEASE) $(FUZZ) $(PACKAGE)
