# make run      set up if needed, build, start the program under Wine
# make test     set up if needed, build, run every test headless
# make release  build from clean trees, test, and pack build/release/
#
# Two programs from one source: build/x86_64/app/TarvexForge.exe (64-bit
# Windows) and build/i686/app/TarvexForge.exe (32-bit Windows). Every test
# runs on the first; the whole suite runs on the second too where this
# machine runs 32-bit programs (scripts/wine/runs-i686; TF_NO_I686=1 says no).
BUILD ?= build
JOBS  ?= $(shell nproc)
BUILD_ROOT := $(abspath $(BUILD))

.PHONY: all setup build run test screenshots release clean

all: build

setup:
	@scripts/setup $(BUILD_ROOT)

build: setup
	@scripts/build-tree $(BUILD_ROOT) x86_64 $(JOBS)
	@scripts/build-tree $(BUILD_ROOT) i686 $(JOBS)

run: build
	@scripts/run-program $(BUILD_ROOT)/x86_64

# One display and one Wine server for each tree's run.
test: build
	@scripts/test-all $(BUILD_ROOT) $(JOBS)

# PNG screenshots of the three windows and the popup menu, under Xvfb.
screenshots: build
	@scripts/screenshots $(BUILD_ROOT)/x86_64

release: setup
	@scripts/release/make-release $(BUILD_ROOT) $(JOBS)

# The UI tests' read-only program folders are immutable, and their full
# disks mounted, while they run.
clean:
	-@find $(BUILD_ROOT) -maxdepth 3 -name readonly-program -type d -exec chattr -i {} + 2>/dev/null
	-@find $(BUILD_ROOT) -maxdepth 4 -path '*/full-disks/*' -type d -exec umount -l {} \; 2>/dev/null
	rm -rf $(BUILD_ROOT)
