# The two commands of the README, and a few helpers around them.
#   make run   set up, build, prepare build/run/ and start the program there
#   make test  set up, build, prepare build/run/ and run every test
#   make deb   the Debian package build/tolkara-german_VERSION_ARCH.deb
#   make install [PREFIX=/usr/local] [DESTDIR=]  the same tree as the package, installed
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: all setup configure build test run data deb install asan fuzz bench format clean

all: build

setup:
	@scripts/setup

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The run folder's catalogue files are built first: some tests check the real archive.
# The tested build is strict (warnings are errors, optimised code fortified), as in CI; so is
# the sanitizer build below, which runs this target.
test: override CMAKE_FLAGS += -DPHRASEBOOK_STRICT=ON
test: data
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Fills build/run/ with the catalogue files the program reads.
data: build
	@scripts/make-data $(BUILD)

run: data
	@scripts/run $(BUILD)

# The package and the installation carry the bundled phrasebook of build/run/.
deb: data
	@cd $(BUILD) && cpack -G DEB

install: data
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)" --strip

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
asan:
	@$(MAKE) --no-print-directory test BUILD=build-asan CMAKE_FLAGS="-DPHRASEBOOK_SANITIZE=ON -DPHRASEBOOK_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug"

# libFuzzer targets (fuzz/) built with clang in build-fuzz/, each run FUZZ_SECONDS.
FUZZ_SECONDS ?= 30
fuzz: setup
	@CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DPHRASEBOOK_FUZZ=ON -DPHRASEBOOK_BENCH=OFF >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzzers
	@scripts/run-fuzzers build-fuzz $(FUZZ_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) build-asan build-fuzz
