# The two set-up commands: `make test` and `make run`. Both install what they need first.
# make run builds only what it starts (the component, the handlers, their tools and the example
# host) from only the packages those need; make test builds and installs the rest.
BUILD ?= build
GENERATOR ?= Ninja
CMAKE_FLAGS ?=
# Two at a time: most tests wait on handler processes, servers and stand-ins, not on the processor.
CTEST_FLAGS ?= --output-on-failure -j2
RUN_TARGETS = dbscout molb-handler molb-agent molb-admin ncbi-handler ebi-handler dbscout-reg \
  molbench-demo

.PHONY: all bootstrap configure build test fuzz run install clean

all: build

bootstrap:
	./scripts/bootstrap $(BOOTSTRAP)

configure: bootstrap
	cmake -S . -B $(BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

# Beside a throw-away PostgreSQL cluster, which the server store's tests need (DBSCOUT_TEST_PG).
# The tests are built whatever an earlier make run found, and a build without them fails.
test: override CMAKE_FLAGS += -DDBSCOUT_BUILD_TESTS=ON
test: build
	cd $(BUILD) && $(CURDIR)/scripts/with-test-postgres ctest --no-tests=error $(CTEST_FLAGS)

# The parsers' fuzzers, built with clang's libFuzzer (AddressSanitizer and UndefinedBehaviorSanitizer,
# at -O1 with line tables: quick to build, every frame of a report named) in a build of their own
# without Qt, each run FUZZ_SECONDS from its corpus. make test replays the same corpora without
# clang.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: bootstrap
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Release \
	  "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -gline-tables-only" -DDBSCOUT_FUZZ=ON -DDBSCOUT_SANITIZE=address
	cmake --build $(FUZZ_BUILD) --target fuzzers
	./scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZERS)

run: BOOTSTRAP = run
run: configure
	cmake --build $(BUILD) --target $(RUN_TARGETS)
	./scripts/run-demo $(BUILD)

install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))
	./scripts/register-handler $(if $(PREFIX),$(PREFIX)/bin/molb-handler,$(BUILD)/handlers/molb/molb-handler)
	./scripts/register-handler $(if $(PREFIX),$(PREFIX)/bin/ncbi-handler,$(BUILD)/handlers/ncbi/ncbi-handler)
	./scripts/register-handler $(if $(PREFIX),$(PREFIX)/bin/ebi-handler,$(BUILD)/handlers/ebi/ebi-handler)

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz
