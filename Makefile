# The two commands that do everything on a fresh Debian machine:
#   make run    install what is missing, build, print the sample character to a PDF
#   make test   install what is missing, build, run every test
BUILD   ?= build
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench clean

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

bench: build
	@sh bench/run.sh $(BUILD)

clean:
	rm -rf $(BUILD)
