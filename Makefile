# Kestrel Setup: three build trees driven from here.
#   make test   installs what is missing, builds native, win64 and win32, runs every test
#   make run    builds setup.exe and runs it under Wine
#   make bench  codec benchmarks against the reference decoder/encoder, the shipped 32-bit
#               expansion first (not part of test)
#   make release  the 32-bit setup.exe and its SHA256SUMS in $(B)/release, signed when
#               SIGN_PKCS12 and SIGN_PASSWORD_FILE name a certificate (scripts/release)
# B names the build root, so that several checkouts or people can build side by side.
B ?= build
ROOT := $(abspath .)
BUILD := $(abspath $(B))
# Every tree configured here treats warnings as errors (a plain cmake configure does not).
# A tree is configured anew when this file changes, so that it takes up a changed option.
CMAKE_TREE := -G Ninja -DKESTREL_WARNINGS_AS_ERRORS=ON

.PHONY: all deps native win64 win32 test test-native test-win run bench release clean

all: native win64 win32

deps:
	@scripts/install-deps

$(BUILD)/native/build.ninja: Makefile | deps
	cmake -S . -B $(BUILD)/native $(CMAKE_TREE) -DKESTREL_SANITIZE=ON

$(BUILD)/win64/build.ninja: Makefile | deps
	cmake -S . -B $(BUILD)/win64 $(CMAKE_TREE) \
	  -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-w64-x86_64.cmake \
	  -DKESTREL_NATIVE_BUILD=$(BUILD)/native

$(BUILD)/win32/build.ninja: Makefile | deps
	cmake -S . -B $(BUILD)/win32 $(CMAKE_TREE) \
	  -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-w64-i686.cmake \
	  -DKESTREL_NATIVE_BUILD=$(BUILD)/native

native: $(BUILD)/native/build.ninja
	cmake --build $(BUILD)/native

# The Windows trees embed the payload that the native archiver makes.
win64: $(BUILD)/win64/build.ninja native
	cmake --build $(BUILD)/win64

win32: $(BUILD)/win32/build.ninja native
	cmake --build $(BUILD)/win32

# Fuzz targets of the archive code (clang, libFuzzer, ASan + UBSan) in a tree of their own:
# each runs FUZZ_SECONDS and reports its executions and findings. `make test` runs a
# 10-second smoke of each through CTest.
FUZZ_SECONDS ?= 60
.PHONY: fuzz fuzz-smoke
fuzz: | deps
	@fuzz/run-fuzz --build $(BUILD)/fuzz $(FUZZ_SECONDS)

fuzz-smoke: | deps
	@fuzz/run-fuzz --build-only $(BUILD)/fuzz && fuzz/run-fuzz --smoke $(BUILD)/fuzz 10

test: all
	@scripts/run-tests $(BUILD)

test-native: native
	@scripts/run-tests $(BUILD) native

test-win: win32 win64
	@scripts/run-tests $(BUILD) win32 win64

# The reference codec and the corpus script live beside the repository; the corpus is
# built once under $(LZHBENCH). First the row that counts: expansion as the shipped 32-bit
# setup.exe has it (the win32 tree's compress_expand, under 32-bit Wine) against the
# reference built for the same target (bench/ExpandBench.cpp); then the 64-bit codec
# benchmarks, in a Release tree of their own without sanitizers.
REFERENCE ?= $(ROOT)/../shared/bench
LZHBENCH ?= /tmp/lzhbench
# Five runs of each benchmark; the comparison table quotes their medians.
BENCH_ARGS ?= --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
# Rounds of the 32-bit row, each timing both decoders on every set.
BENCH32_ROUNDS ?= 7

$(BUILD)/bench/build.ninja: Makefile | deps
	cmake -S . -B $(BUILD)/bench $(CMAKE_TREE) -DCMAKE_BUILD_TYPE=Release -DKESTREL_BENCH=ON \
	  -DKESTREL_REFERENCE_DIR=$(REFERENCE)

# A clone without the reference folder compares against the project's own plain reference
# codec (expansion only) over a small corpus that bench/make-corpus makes in the bench tree.
bench: $(BUILD)/bench/build.ninja $(BUILD)/win32/build.ninja
	cmake --build $(BUILD)/bench --target codec_bench
	cmake -S . -B $(BUILD)/win32 -DKESTREL_REFERENCE_DIR=$(REFERENCE) >/dev/null
	cmake --build $(BUILD)/win32 --target expand_bench
	@if [ -x $(REFERENCE)/corpus.sh ]; then \
	  test -f $(LZHBENCH)/corpus/MANIFEST || LZHBENCH=$(LZHBENCH) $(REFERENCE)/corpus.sh || exit 1; \
	  corpus=$(LZHBENCH); \
	else \
	  echo "bench: no corpus.sh in $(REFERENCE): using the project's own small corpus"; \
	  corpus=$(BUILD)/bench/own-corpus; \
	  test -f $$corpus/corpus/MANIFEST || bench/make-corpus $$corpus || exit 1; \
	fi; \
	if reason=$$(scripts/wine32-probe); then \
	  echo "scripts/wine-run win32 $(BUILD)/win32 $(BUILD)/win32/bench/expand_bench.exe $$corpus/corpus $(BENCH32_ROUNDS)"; \
	  scripts/wine-run win32 $(BUILD)/win32 $(BUILD)/win32/bench/expand_bench.exe \
	    $$corpus/corpus $(BENCH32_ROUNDS) || exit 1; \
	else \
	  echo "bench: no 32-bit row: $$reason"; \
	fi; \
	echo "LZHBENCH=$$corpus $(BUILD)/bench/bench/codec_bench $(BENCH_ARGS)"; \
	LZHBENCH=$$corpus $(BUILD)/bench/bench/codec_bench $(BENCH_ARGS)

# setup.exe as shipped (32-bit) on the display, or headless, installed by the robot with
# screenshots in $(BUILD)/e2e/install, when there is none.
run: $(BUILD)/win32/build.ninja native
	cmake --build $(BUILD)/win32 --target setup
	@scripts/run-setup $(BUILD)

# The program as shipped, with its sums; signed when a certificate is named:
#   make release SIGN_PKCS12=cert.p12 SIGN_PASSWORD_FILE=pass.txt [SIGN_TIMESTAMP_URL=url]
# Only what setup.exe needs is built: the payload in the native tree, setup in win32.
release: $(BUILD)/win32/build.ninja $(BUILD)/native/build.ninja
	cmake --build $(BUILD)/native --target payload
	cmake --build $(BUILD)/win32 --target setup
	@SIGN_PKCS12="$(SIGN_PKCS12)" SIGN_PASSWORD_FILE="$(SIGN_PASSWORD_FILE)" \
	  SIGN_CA_FILE="$(SIGN_CA_FILE)" SIGN_TIMESTAMP_URL="$(SIGN_TIMESTAMP_URL)" \
	  scripts/release $(BUILD)

clean:
	rm -rf $(BUILD)
