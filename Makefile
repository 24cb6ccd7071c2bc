# make run: install what is missing, build, start the game.
# make test: the same installs, a sanitizer build, every test headless.

BUILD      ?= build
TEST_BUILD ?= build-test
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES   := cmake g++ make pkg-config libsdl2-dev libsdl2-mixer-dev libsdl2-image-dev \
              libinih-dev libgtest-dev libsimpleini-dev libenet-dev zlib1g-dev
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
# ccache, where a machine has it, keeps rebuilds in any clone of the tree short.
CCACHE     := $(shell command -v ccache 2>/dev/null)
CMAKE_LAUNCHER := $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE))
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: all deps build run test assets check-assets asset-deps clean

all: build

# Installs those of the packages given that are missing; apt-get runs only then.
define install_missing
missing=""; \
for p in $(1); do \
  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
done; \
if [ -n "$$missing" ]; then \
  echo "Installing:$$missing"; \
  $(SUDO) apt-get update && \
  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
fi
endef

# apt-get runs only when a package is missing.
deps:
	@$(call install_missing,$(PACKAGES))

# Where make install puts the programs under PREFIX: Debian's games/, or bin/.
BINDIR ?= games

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DKORVANE_TESTS=OFF -DKORVANE_INSTALL_BINDIR=$(BINDIR) \
	  $(CMAKE_LAUNCHER)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/korvane

# The windowed tests: a virtual display and a window manager of their own.
TEST_PACKAGES := xvfb xauth openbox
.PHONY: test-deps
test-deps:
	@$(call install_missing,$(TEST_PACKAGES))

test: deps test-deps package-deps
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_SANITIZE=ON $(CMAKE_LAUNCHER)
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
	  ctest --output-on-failure -j $(JOBS)
	$(MAKE) package-check
	$(MAKE) web-test

ASSET_PACKAGES := python3 python3-pil python3-numpy python3-scipy lame fonts-dejavu-core

# Regenerates data/ from tools/ (its outputs are committed, so only artists need this).
assets: asset-deps
	/usr/bin/python3 tools/make_assets.py

# Checks the committed data/ against the tables the generator draws from.
check-assets: asset-deps
	/usr/bin/python3 tools/make_assets.py --check

asset-deps:
	@$(call install_missing,$(ASSET_PACKAGES))

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(WEB_BUILD)

# make install: the program, data, menu entry and icons under PREFIX (DESTDIR is honoured).
PREFIX ?= /usr/local
.PHONY: install
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# make fuzz: libFuzzer (clang) on every input the game reads, FUZZ_SECONDS each.
# New inputs gather in $(FUZZ_BUILD)/corpus; a crash leaves its input in
# $(FUZZ_BUILD)/artifacts and stops the run.
FUZZ_BUILD    ?= build-fuzz
FUZZ_SECONDS  ?= 60
FUZZ_TARGETS  ?= font settings script password packet
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev
.PHONY: fuzz fuzz-deps
fuzz-deps:
	@$(call install_missing,$(FUZZ_PACKAGES))
fuzz: deps fuzz-deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_SANITIZE=ON \
	  -DKORVANE_FUZZ=ON -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link -fsanitize=float-divide-by-zero -fno-sanitize-recover=all"
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/artifacts; \
	  echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	  $(FUZZ_BUILD)/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=20 \
	    -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$t- \
	    $(FUZZ_BUILD)/corpus/$$t tests/fuzz/$$t/corpus $$(ls -d tests/fuzz/$$t/regressions 2>/dev/null) \
	    > $(FUZZ_BUILD)/fuzz_$$t.log 2>&1; status=$$?; \
	  grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb|Done)" $(FUZZ_BUILD)/fuzz_$$t.log; \
	  if [ $$status -ne 0 ]; then tail -40 $(FUZZ_BUILD)/fuzz_$$t.log; exit 1; fi; \
	done

# make soak: the long sanitizer runs through korvane-headless (about an hour), in the
# sanitizer build of make test. The short ones run in make test.
SOAK_DEMO_FRAMES ?= 1000000
SOAK_PLAY_FRAMES ?= 500000
.PHONY: soak
soak: deps
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_SANITIZE=ON $(CMAKE_LAUNCHER)
	cmake --build $(TEST_BUILD) -j $(JOBS) --target korvane_soak korvane-headless
	$(TEST_BUILD)/tests/soak/korvane_soak --headless $(TEST_BUILD)/korvane-headless \
	  --mode demo --frames $(SOAK_DEMO_FRAMES) --every 50000
	$(TEST_BUILD)/tests/soak/korvane_soak --headless $(TEST_BUILD)/korvane-headless \
	  --mode play --frames $(SOAK_PLAY_FRAMES) --every 25000 --seed 11
	$(TEST_BUILD)/tests/soak/korvane_soak --headless $(TEST_BUILD)/korvane-headless \
	  --mode play --frames 100000 --every 10000 --seed 12 \
	  --settings tests/soak/bad_settings.ini

# make bench: a Release build with the benchmarks in $(BENCH_BUILD), then the
# frame, start-up (under Xvfb) and long-play memory benchmarks against their
# targets (bench/run_benchmarks.py --help for BENCH_ARGS). The browser's
# figure runs when asked: make bench BENCH_ARGS="--only web".
BENCH_BUILD    ?= build-bench
BENCH_ARGS     ?=
BENCH_PACKAGES := libbenchmark-dev xvfb python3
.PHONY: bench bench-deps
bench-deps:
	@$(call install_missing,$(BENCH_PACKAGES))
bench: deps bench-deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DKORVANE_TESTS=OFF -DKORVANE_BENCH=ON $(CMAKE_LAUNCHER)
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target korvane korvane-headless bench_frame bench_pacing bare_sdl
	$(if $(findstring web,$(BENCH_ARGS)),$(MAKE) web tests/web/node_modules/playwright-core/package.json)
	python3 bench/run_benchmarks.py --build $(BENCH_BUILD) $(BENCH_ARGS)

# make deb: the Debian package in $(PKG_BUILD) (a Release build of the programs).
# make package-check: the package through lintian, appstreamcli,
# desktop-file-validate and groff, and the installed programs started once.
PKG_BUILD        ?= build-pkg
PACKAGE_PACKAGES := dpkg-dev lintian appstream desktop-file-utils groff-base man-db
.PHONY: deb package-check package-deps
package-deps:
	@$(call install_missing,$(PACKAGE_PACKAGES))
deb: deps package-deps
	cmake -S . -B $(PKG_BUILD) -DCMAKE_BUILD_TYPE=Release -DKORVANE_TESTS=OFF $(CMAKE_LAUNCHER)
	cmake --build $(PKG_BUILD) -j $(JOBS)
	rm -f $(PKG_BUILD)/korvane_*.deb
	cd $(PKG_BUILD) && cpack -G DEB
package-check: deb
	dist/check_package.sh $(PKG_BUILD)/korvane_*.deb

# make screenshots: the README's and the AppStream file's pictures, taken by
# the headless runner from docs/screenshots/screenshots.script and made small.
.PHONY: screenshots
screenshots: build asset-deps
	mkdir -p $(BUILD)/screenshots
	cd $(BUILD)/screenshots && $(abspath $(BUILD))/korvane-headless \
	  --script $(CURDIR)/docs/screenshots/screenshots.script
	/usr/bin/python3 tools/shrink_screenshots.py $(BUILD)/screenshots docs/screenshots

# make web: the browser build in $(WEB_BUILD)/ (index.html, korvane.js,
# korvane.wasm, korvane.data) with Debian's emscripten; make serve-web serves
# it on http://127.0.0.1:8080/. make web-test (part of make test) plays it in
# Debian's chromium through playwright-core from npm (tests/web/).
WEB_BUILD     ?= build-web
WEB_PORT      ?= 8080
WEB_PACKAGES  := emscripten libstb-dev libsimpleini-dev chromium cmake make
# em++'s optimiser loads its modules from Debian's shared nodejs folder.
WEB_NODE_PATH ?= /usr/share/nodejs
.PHONY: web serve-web web-test web-deps
web-deps:
	@missing=""; \
	for p in $(WEB_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	command -v node >/dev/null || missing="$$missing nodejs npm"; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi
web: web-deps
	NODE_PATH=$(WEB_NODE_PATH) emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release \
	  -DKORVANE_TESTS=OFF $(CMAKE_LAUNCHER)
	NODE_PATH=$(WEB_NODE_PATH) cmake --build $(WEB_BUILD) -j $(JOBS)
	@echo "The page is in $(WEB_BUILD)/; make serve-web shows it on http://127.0.0.1:$(WEB_PORT)/"
serve-web: web
	node tests/web/serve.mjs $(WEB_BUILD) $(WEB_PORT)
tests/web/node_modules/playwright-core/package.json: tests/web/package.json tests/web/package-lock.json
	@command -v npm >/dev/null || { echo "npm is missing: install Node.js with its npm"; exit 1; }
	cd tests/web && npm ci --no-audit --no-fund
	touch $@
web-test: web tests/web/node_modules/playwright-core/package.json
	cd tests/web && node page_test.mjs ../../$(WEB_BUILD) ../../$(WEB_BUILD)/screenshots \
	  $(if $(wildcard $(TEST_BUILD)/korvane-headless),../../$(TEST_BUILD)/korvane-headless)
