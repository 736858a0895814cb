# The front door: make run | make test | make build | make clean
SHELL := /bin/sh
CONFIGS := host win64 win32

.PHONY: all setup build test run dist clean

all: build

setup:
	@scripts/setup.sh

# Configure once per build folder, then let Ninja decide what is out of date.
build/%/build.ninja:
	@cmake --preset $* >/dev/null

build: setup $(foreach c,$(CONFIGS),build/$(c)/build.ninja)
	@for c in $(CONFIGS); do cmake --build --preset $$c || exit 1; done

test: build
	@ctest --test-dir build/host --output-on-failure

run: build
	@scripts/run.sh

# The release archive: both programs and how to run them, in dist/.
dist: setup build/win32/build.ninja build/win64/build.ninja
	@for c in win32 win64; do cmake --build --preset $$c --target Tarrowby || exit 1; done
	@scripts/make-dist.py

clean:
	rm -rf build dist
