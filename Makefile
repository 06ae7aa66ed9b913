# The commands of the README: `make run`, `make test` and `make test-sanitize`.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)

.PHONY: all deps configure build program run test test-sanitize clean

all: build

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The program alone, without the tests and benchmarks, so that `make run` starts it soon.
program: configure
	cmake --build $(BUILD) -j $(JOBS) --target quorin

run: program
	$(BUILD)/Quorin/quorin

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j $(JOBS)

# The same suite built with the address, undefined-behaviour and leak sanitizers, in a folder of its own.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORIN_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j $(JOBS)

# The program folder staged in a build folder is where `make run` keeps the user's settings and cases: clean
# removes everything else, and keeps those (and says so).
clean:
	bash scripts/clean-build.sh $(BUILD) $(SANITIZE_BUILD)
