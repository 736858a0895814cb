# The front door: make run | make test | make build | make clean
SHELL := /bin/sh
CONFIGS := host win64 win32

.PHONY: all setup build test soak run dist install deb screenshots clean fuzz bench

all: build

setup:
	@scripts/setup/setup.sh

# Configure once per build folder, then let Ninja decide what is out of date.
build/%/build.ninja:
	@cmake --preset $* >/dev/null

build: setup $(foreach c,$(CONFIGS),build/$(c)/build.ninja) build/fuzz/build.ninja
	@for c in $(CONFIGS); do cmake --build --preset $$c || exit 1; done
	@cmake --build build/fuzz

# Tests in different lanes (a Wine prefix and display each) run side by side:
# most of their time is spent waiting on Wine, not computing.
TEST_JOBS ?= 4
test: build
	@status=0; ctest --test-dir build/host --output-on-failure --label-exclude long -j $(TEST_JOBS) || status=$$?; \
	scripts/test/test-summary.sh build/host; exit $$status

# The long runs: the full soak of each build, hundreds of openings.
soak: build
	@ctest --test-dir build/host --output-on-failure --label-regex long

# The native Linux program; ARCH=win64 starts the 64-bit Windows program under
# Wine, ARCH=win32 the 32-bit one, the program that ships.
ARCH ?= native
ifeq ($(ARCH),native)
run: setup build/host/build.ninja
	@cmake --build --preset host --target tarrowby
	@scripts/setup/run.sh native
else
run: build
	@scripts/setup/run.sh $(ARCH)
endif

# The native program as a desktop application: command, desktop entry, icons,
# AppStream metadata and manual page, under $(DESTDIR)$(PREFIX).
PREFIX ?= /usr/local
install: setup build/host/build.ninja
	@cmake --build --preset host --target tarrowby
	@scripts/package/install.sh "$(DESTDIR)" "$(PREFIX)"

# The same as a Debian package, in dist/, the program built again with
# Debian's flags (packaging/deb/ has its control files).
deb: setup
	@scripts/package/make-deb.sh

# The pictures in the README, rendered from the program as it is.
screenshots: build
	@scripts/setup/screenshots.sh

# The release archive: both programs and how to run them, in dist/.
dist: setup build/win32/build.ninja build/win64/build.ninja
	@for c in win32 win64; do cmake --build --preset $$c --target Tarrowby || exit 1; done
	@scripts/package/make-dist.py

# The fuzz targets are a CMake project of their own (fuzz/), built with clang;
# a preset can only configure the top-level project, hence the plain cmake call.
build/fuzz/build.ninja:
	@cmake -S fuzz -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null

# Every fuzz target for FUZZ_SECONDS each; fails on any finding (build/fuzz/findings/).
FUZZ_SECONDS ?= 60
fuzz: setup build/fuzz/build.ninja
	@cmake --build build/fuzz
	@FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run.sh

# Benchmarks; their figures go to build/bench/*.json.
bench: build
	@scripts/setup/bench.sh

clean:
	rm -rf build dist
