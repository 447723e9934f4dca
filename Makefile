# make run   set up if needed, build, start the program under Wine
# make test  set up if needed, build, run every test headless
#
# The program ships as build/i686/app/TarvexForge.exe. Tests and `make run`
# use the tree of the architecture this machine's Wine can run
# (scripts/wine-arch): i686 itself, or an x86_64 tree where the kernel
# runs no 32-bit code.
BUILD ?= build
JOBS  ?= $(shell nproc)
BUILD_ROOT := $(abspath $(BUILD))
TEST_TREE = $(BUILD_ROOT)/$$(scripts/wine-arch)

.PHONY: all setup build run test screenshots clean

all: build

setup:
	@scripts/setup $(BUILD_ROOT)

build: setup
	@scripts/build-tree $(BUILD_ROOT) i686 $(JOBS)
	@arch=$$(scripts/wine-arch); [ $$arch = i686 ] || scripts/build-tree $(BUILD_ROOT) $$arch $(JOBS)

run: build
	@scripts/run-program $(TEST_TREE)

# One display and one Wine server for the whole run.
test: build
	@scripts/test-session $(TEST_TREE) ctest --test-dir $(TEST_TREE) --output-on-failure -j$(JOBS)

# PNG screenshots of the three windows and the popup menu, under Xvfb.
screenshots: build
	@scripts/screenshots $(TEST_TREE)

clean:
	rm -rf $(BUILD_ROOT)
