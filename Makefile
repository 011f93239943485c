# Thin wrapper over CMake. `make run` and `make test` install what is missing
# (with apt-get when run as root; otherwise they print the command to run).
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
PACKAGES = cmake g++ clang pkg-config make libsdl1.2-compat-dev libgtest-dev libgmock-dev \
           libbenchmark-dev libpng-dev netpbm imagemagick xvfb xdotool x11-utils libx11-dev \
           libclang-rt-14-dev openbox

.PHONY: all deps build run test bench screenshots clean

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:" $$missing; \
	    apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	  else \
	    echo "Missing packages. Run:"; echo "  sudo apt-get update && sudo apt-get install -y" $$missing; exit 1; \
	  fi; \
	fi

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/demo/velm4023

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: build
	./$(BUILD)/bench/velm_bench

# The README's screenshots of the three parts, made with the capture tool.
screenshots: build
	for f in 500 2900 3500; do ./$(BUILD)/tools/capture/velm4023-capture --frames $$f --scale 2 --png $(BUILD)/shots || exit 1; done
	cp $(BUILD)/shots/frame-000500.png docs/part1.png
	cp $(BUILD)/shots/frame-002900.png docs/part2.png
	cp $(BUILD)/shots/frame-003500.png docs/part3.png

clean:
	rm -rf $(BUILD)
