# Thin wrapper around CMake. `make run` builds and starts the program, `make test`
# builds and runs every test headless. `make windows` cross-builds the Windows program,
# zip, installer and MSI package into build-windows/dist, signed when OVS_SIGN_PFX names
# a certificate (the first run also builds Qt for Windows, about an hour);
# `make windows-test` proves them under Wine.

BUILD_DIR ?= build
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test package windows windows-test clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@./scripts/run-with-emulator.sh $(BUILD_DIR)

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

package: build
	@cd $(BUILD_DIR) && cpack -G DEB

windows:
	@./scripts/build-windows.sh all

windows-test: build
	@OVS_LINUX_BUILD=$(abspath $(BUILD_DIR)) ./scripts/test-windows.sh

clean:
	@rm -rf $(BUILD_DIR)
