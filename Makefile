# The two commands that do everything on a fresh Debian machine:
#   make run    install what is missing, build, print the sample character to a PDF
#   make test   install what is missing, build, run every test
BUILD   ?= build
JOBS    ?= $(shell nproc)
# Compiles go through ccache when it is installed (install-deps puts it there).
CMAKE_FLAGS ?= $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: all deps configure build run test bench clean fuzz test-sanitize package

all: build

deps:
	@sh scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: $(BUILD)/build.ninja

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/quillet-print --output $(BUILD)/sample-sheet.pdf
	@echo "wrote $(BUILD)/sample-sheet.pdf"

# The desktop program: built, then started from its program folder.
.PHONY: gui
gui: deps configure
	cmake --build $(BUILD) --target quillet -j $(JOBS)
	$(BUILD)/bin/quillet

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The Debian package of the programs, $(BUILD)/quillet_<version>_<arch>.deb.
package: deps configure
	cmake --build $(BUILD) --target quillet quillet-print quillet-script -j $(JOBS)
	cd $(BUILD) && cpack -G DEB

bench: build
	@sh bench/run.sh $(BUILD)

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
ASAN_BUILD ?= build-asan
test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DQUILLET_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-suppressions.txt:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

# Every fuzz target, built with clang in its own folder, run for
# FUZZ_SECONDS each; fails on any crash, leak, hang or sanitizer report.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	@sh scripts/install-fuzz-deps.sh
	cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) sh fuzz/run.sh $(FUZZ_BUILD)

clean:
	rm -rf $(BUILD)
