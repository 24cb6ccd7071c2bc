# make run: install what is missing, build, start the game.
# make test: the same installs, a sanitizer build, every test headless.

BUILD      ?= build
TEST_BUILD ?= build-test
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES   := cmake g++ make pkg-config libsdl2-dev libsdl2-mixer-dev libsdl2-image-dev \
              libinih-dev libgtest-dev libenet-dev
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps build run test assets check-assets asset-deps clean

all: build

# apt-get runs only when a package is missing.
deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DKORVANE_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/korvane

test: deps
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_SANITIZE=ON
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
	  ctest --output-on-failure -j $(JOBS)

ASSET_PACKAGES := python3 python3-pil python3-numpy python3-scipy lame fonts-dejavu-core

# Regenerates data/ from tools/ (its outputs are committed, so only artists need this).
assets: asset-deps
	/usr/bin/python3 tools/make_assets.py

# Checks the committed data/ against the tables the generator draws from.
check-assets: asset-deps
	/usr/bin/python3 tools/make_assets.py --check

asset-deps:
	@missing=""; \
	for p in $(ASSET_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  $(SUDO) apt-get update && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi

clean:
	rm -rf $(BUILD) $(TEST_BUILD)

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
	@missing=""; \
	for p in $(FUZZ_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  $(SUDO) apt-get update && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi
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
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_SANITIZE=ON
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
# targets (bench/run_benchmarks.py --help for BENCH_ARGS).
BENCH_BUILD    ?= build-bench
BENCH_ARGS     ?=
BENCH_PACKAGES := libbenchmark-dev xvfb python3
.PHONY: bench bench-deps
bench-deps:
	@missing=""; \
	for p in $(BENCH_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  $(SUDO) apt-get update && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi
bench: deps bench-deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DKORVANE_TESTS=OFF -DKORVANE_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target korvane korvane-headless bench_frame bare_sdl
	python3 bench/run_benchmarks.py --build $(BENCH_BUILD) $(BENCH_ARGS)
