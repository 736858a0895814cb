# The front door: make run | make test | make build | make clean
SHELL := /bin/sh
CONFIGS := host win64 win32

.PHONY: all setup build test run clean

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

clean:
	rm -rf build
