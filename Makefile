# Thin wrapper over CMake. `make run` and `make test` install what is missing
# (with apt-get when run as root; otherwise they print the command to run).
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
# What building and running the show needs (make run), installed without
# Debian's recommended extras; the rest is what the tests, benchmarks, the
# page's build and the browsers need (make test).
RUN_PACKAGES = cmake g++ pkg-config make libsdl1.2-compat-dev libpng-dev libx11-dev
TEST_PACKAGES = clang libgtest-dev libgmock-dev \
           libbenchmark-dev netpbm imagemagick xvfb xdotool x11-utils \
           libclang-rt-14-dev openbox dpkg-dev lintian desktop-file-utils appstream man-db \
           emscripten chromium ffmpeg debootstrap firefox-esr webkit2gtk-driver pulseaudio \
           libxfixes-dev nodejs git ca-certificates
# Debian's nodejs brings no npm; a Node.js installed from elsewhere brings
# its own, which Debian's npm package would conflict with.
TEST_PACKAGES += $(if $(shell command -v npm),,npm)
WEB_BUILD ?= build-web
WEB_CMAKE_FLAGS ?=
WEB_PORT ?= 8023
WEB_BIND ?= 127.0.0.1
# The site's public address (https://host/dir/), for absolute link previews.
SITE_URL ?=
AUDIT = bench/web/audit

# ---- Other architectures -------------------------------------------------------
# ARCH names a Debian architecture to cross-build for with Debian's cross
# compilers and the toolchain file cmake/toolchain-ARCH.cmake (arm64: 64-bit
# Raspberry Pi OS and ARM boards; armhf: 32-bit Raspberry Pi OS); by default
# this machine's own, built natively. The programs of a cross build run here
# through qemu-user.
HOST_ARCH := $(shell dpkg --print-architecture 2>/dev/null)
ARCH ?= $(HOST_ARCH)
CROSS = $(if $(filter-out $(HOST_ARCH),$(ARCH)),-DCMAKE_TOOLCHAIN_FILE=$(abspath cmake/toolchain-$(ARCH).cmake))
ARCH_BUILD ?= $(BUILD)-$(ARCH)
ARCH_PACKAGES = crossbuild-essential-$(ARCH) qemu-user-static \
                $(addsuffix :$(ARCH),libc6-dev libstdc++6 libsdl1.2-compat-dev libpng-dev libx11-dev libgtest-dev)

.PHONY: all deps deps-run build show run test bench screenshots install deb web bench-web serve-web audit-web clean \
        deps-arch test-arch deps-windows windows test-windows

all: build

# Installs the Debian packages named in $(1) that are missing, with the
# apt-get options $(2) and after the command $(3): with apt-get as root, else
# it prints the commands to run.
define install_missing
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:" $$missing; \
	    $(if $(3),$(3) &&) apt-get -o DPkg::Lock::Timeout=900 update && \
	    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y $(2) $$missing; \
	  else \
	    echo "Missing packages. Run:"; $(if $(3),echo "  sudo $(3)";) \
	    echo "  sudo apt-get update && sudo apt-get install -y $(2)" $$missing; exit 1; \
	  fi; \
	fi
endef

deps-run:
	$(call install_missing,$(RUN_PACKAGES),--no-install-recommends)

deps: deps-run
	$(call install_missing,$(TEST_PACKAGES))
	@# The browser tests' npm modules, exactly as package-lock.json pins them,
	@# reinstalled when the lockfile changes. They drive the Debian browsers:
	@# nothing downloads a browser of its own.
	@if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then \
	  PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DVELM_TESTS=ON -DVELM_BENCH=ON -DVELM_WEB_BUILD=$(abspath $(WEB_BUILD)) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# The show alone: a new build folder leaves the tests and benchmarks out, one
# that make test set up keeps them.
show: deps-run
	cmake -S . -B $(BUILD) $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DVELM_TESTS=OFF -DVELM_BENCH=OFF) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target velm4023

# The show ends with status 1 after a normal quit (Escape, q): that is success
# here; any other status fails the target.
run: show
	@status=0; $(BUILD)/demo/velm4023 || status=$$?; [ $$status = 1 ] || exit $$status

test: build web
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: build
	./$(BUILD)/bench/velm_bench

# The README's screenshots of the three parts, made with the capture tool.
screenshots: build
	for f in 500 2900 3500; do ./$(BUILD)/capture/velm4023-capture --frames $$f --scale 2 --png $(BUILD)/shots || exit 1; done
	cp $(BUILD)/shots/frame-000500.png docs/part1.png
	cp $(BUILD)/shots/frame-002900.png docs/part2.png
	cp $(BUILD)/shots/frame-003500.png docs/part3.png

# Installs the show, the capture tool, manual pages, desktop entry, icons and
# AppStream metadata under PREFIX (DESTDIR is honoured too).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, built with Debian's hardening flags in its own folder;
# its dependencies come from dpkg-shlibdeps, plus the sdl12-compat shim by name.
# ARCH=arm64 or ARCH=armhf cross-builds it (see ARCH above; `make deps-arch`
# installs what that needs) into $(BUILD)-deb-ARCH.
ifeq ($(ARCH),$(HOST_ARCH))
DEB_BUILD ?= $(BUILD)-deb
else
DEB_BUILD ?= $(BUILD)-deb-$(ARCH)
endif
deb: deps $(if $(CROSS),deps-arch)
	export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_HOST_ARCH=$(ARCH); \
	cmake -S . -B $(DEB_BUILD) $(CROSS) -DCMAKE_BUILD_TYPE=Release -DVELM_TESTS=OFF -DVELM_BENCH=OFF \
	  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
	  -DCMAKE_C_FLAGS="$$(dpkg-buildflags --get CFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" && \
	cmake --build $(DEB_BUILD) -j $(JOBS) --target velm4023 velm4023-capture velm_dist && \
	cd $(DEB_BUILD) && cpack -G DEB
	@ls $(DEB_BUILD)/velm4023_*_$(ARCH).deb

# The cross compilers, the architecture's libraries beside this machine's own
# (dpkg --add-architecture) and qemu-user, with apt-get when run as root.
deps-arch:
	@[ -n "$(CROSS)" ] && [ -f cmake/toolchain-$(ARCH).cmake ] || { echo "ARCH=$(ARCH): no cross build for it (cmake/toolchain-*.cmake)"; exit 1; }
	$(call install_missing,$(ARCH_PACKAGES),,dpkg --add-architecture $(ARCH))

# The cross build of ARCH in $(ARCH_BUILD) (without the benchmarks) and its
# tests under qemu-user, with the comparison of its capture tool's frames and
# sound against the native build's, whose capture tool this builds first.
test-arch: deps-arch deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target velm4023-capture
	cmake -S . -B $(ARCH_BUILD) $(CROSS) -DVELM_BENCH=OFF \
	  -DVELM_NATIVE_CAPTURE=$(abspath $(BUILD))/capture/velm4023-capture $(CMAKE_FLAGS)
	cmake --build $(ARCH_BUILD) -j $(JOBS)
	ctest --test-dir $(ARCH_BUILD) --output-on-failure -j $(JOBS)

# The show for the browser: the page, velm4023.js and velm4023.wasm, with the
# service worker, manifest, icons and link preview, in $(WEB_BUILD)/site, plus
# the browser build's test program. SITE_URL=https://host/dir/ makes the
# preview's address absolute.
web: deps
	emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release $(if $(SITE_URL),-DVELM_SITE_URL=$(SITE_URL)) $(WEB_CMAKE_FLAGS)
	cmake --build $(WEB_BUILD) -j $(JOBS)
	@ls -l $(WEB_BUILD)/site

# Frame times of the show's own code in headless Chromium, next to `make bench`.
# With THROTTLE=1 instead: the page itself on a CPU slowed 1, 4, 8 and 12
# times (BENCH_WEB_RATES), distinct frames a second per part and where a
# frame's main-thread time goes, medians of BENCH_WEB_REPEAT runs.
BENCH_WEB_RATES ?= 1,4,8,12
BENCH_WEB_REPEAT ?= 3
bench-web: web
ifeq ($(THROTTLE),1)
	node bench/web/bench.js --throttled --rates $(BENCH_WEB_RATES) --repeat $(BENCH_WEB_REPEAT) $(WEB_BUILD)/site
else
	node bench/web/bench.js $(WEB_BUILD)/bench
endif

# Serves the page as a static host would (types, compression, revalidation),
# on this machine only unless WEB_BIND says otherwise. Ctrl+C stops it.
serve-web: web
	python3 web/serve.py --bind $(WEB_BIND) --port $(WEB_PORT) $(WEB_BUILD)/site

# Lighthouse on the built site, mobile defaults, in Debian's chromium: the
# four scores and what falls short; the full report in $(WEB_BUILD)/audit.
# Its npm modules live apart in $(AUDIT), pinned by its package-lock.json.
audit-web: web
	@if [ ! -f $(AUDIT)/node_modules/.package-lock.json ] || [ $(AUDIT)/package-lock.json -nt $(AUDIT)/node_modules/.package-lock.json ]; then \
	  cd $(AUDIT) && npm ci --no-audit --no-fund; \
	fi
	CHROME_PATH=$${CHROME_PATH:-/usr/bin/chromium} node $(AUDIT)/audit.mjs $(WEB_BUILD)/site $(WEB_BUILD)/audit

# ---- Windows ----------------------------------------------------------------------
# The show for 64-bit Windows, cross-built with mingw-w64 in $(WIN_BUILD): SDL
# 1.2, libpng and zlib from Debian's source packages (cmake/windows-libs.sh,
# fetched with a private apt source list, built once; a stamp per step), then
# the show, the capture tool and the unit tests, and the zip to hand out.
WIN_BUILD ?= build-windows
WIN_CMAKE_FLAGS ?=
WIN_DEPS = $(WIN_BUILD)/deps
# The cross compilers, Wine and zip; the tests' Xvfb, window manager, X
# tools, PulseAudio, ImageMagick, unzip and bc.
WIN_PACKAGES = g++-mingw-w64-x86-64 wine wine64 zip dpkg-dev cmake make pkg-config xvfb xdotool x11-utils \
               openbox imagemagick pulseaudio unzip bc
WIN_LIBS = cmake/windows-libs.sh

deps-windows:
	$(call install_missing,$(WIN_PACKAGES))

$(WIN_DEPS)/fetched.stamp: $(WIN_LIBS)
	sh $(WIN_LIBS) $(WIN_DEPS) fetch
	touch $@
$(WIN_DEPS)/zlib.stamp: $(WIN_DEPS)/fetched.stamp
	JOBS=$(JOBS) sh $(WIN_LIBS) $(WIN_DEPS) zlib
	touch $@
$(WIN_DEPS)/libpng.stamp: $(WIN_DEPS)/zlib.stamp
	JOBS=$(JOBS) sh $(WIN_LIBS) $(WIN_DEPS) libpng
	touch $@
$(WIN_DEPS)/sdl.stamp: $(WIN_DEPS)/fetched.stamp
	JOBS=$(JOBS) sh $(WIN_LIBS) $(WIN_DEPS) sdl
	touch $@

windows: deps-windows
	$(MAKE) --no-print-directory $(WIN_DEPS)/libpng.stamp $(WIN_DEPS)/sdl.stamp
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake -DCMAKE_BUILD_TYPE=Release \
	  $(WIN_CMAKE_FLAGS)
	cmake --build $(WIN_BUILD) -j $(JOBS)

# The tests under Wine, and the comparison of the Windows capture tool's
# frames and sound with the native build's (tests/cross).
test-windows: windows deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target velm4023-capture
	cmake -S . -B $(WIN_BUILD) -DVELM_NATIVE_CAPTURE=$(abspath $(BUILD))/capture/velm4023-capture
	@# A Wine program that connects while the server of the test before ends
	@# dies now and then ("recvmsg: Connection reset by peer"): such a test
	@# runs once more.
	ctest --test-dir $(WIN_BUILD) --output-on-failure -j $(JOBS) --repeat until-pass:2

clean:
	rm -rf $(BUILD) $(BUILD)-deb $(WEB_BUILD) $(WIN_BUILD)
