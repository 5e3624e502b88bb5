# Korvane Device Programmer: top-level commands (see README.md).
BUILD      ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= $(shell nproc)

# Every Debian package the build, the tests and the benchmarks need.
DEB_PACKAGES := cmake ninja-build g++ ccache pkg-config make \
                libusb-1.0-0-dev libcli11-dev \
                libgtest-dev libgmock-dev libbenchmark-dev \
                srecord binutils \
                fp-compiler liblua5.4-dev \
                qt6-base-dev libgl-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build test run bench clean

deps:
	@missing=$$(for p in $(DEB_PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    $(SUDO) apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing >/dev/null; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

configure: $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: deps
	@$(MAKE) --no-print-directory build
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure --timeout 300

run: deps
	@$(MAKE) --no-print-directory build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	    $(BUILD)/bin/kvprog --virtual; \
	else \
	    echo "No display (DISPLAY and WAYLAND_DISPLAY are not set): falling back to the command line, kvprog-cli."; \
	    echo "Programming a virtual 24C02 with random data, reading it back and verifying it:"; \
	    mkdir -p $(BUILD)/run && head -c 256 /dev/urandom > $(BUILD)/run/demo.bin && \
	    $(BUILD)/bin/kvprog-cli --virtual -y program -d 24C02 -i $(BUILD)/run/demo.bin --target-dump $(BUILD)/run/part.bin && \
	    $(BUILD)/bin/kvprog-cli --virtual read -d 24C02 -o $(BUILD)/run/readback.bin --target-image $(BUILD)/run/part.bin && \
	    $(BUILD)/bin/kvprog-cli --virtual verify -d 24C02 -i $(BUILD)/run/demo.bin --target-image $(BUILD)/run/part.bin && \
	    cmp -s $(BUILD)/run/demo.bin $(BUILD)/run/readback.bin && echo "Read back: the same 256 bytes."; \
	fi

bench: deps
	@$(MAKE) --no-print-directory build
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b --benchmark_min_time=0.2; done

clean:
	rm -rf $(BUILD)
