# The README's two commands: `make demo` runs the product, `make test` runs every test.
# Both install what they need first (Debian packages; sudo when not root).

PRESETS := native win32 win64
JOBS ?= $(shell nproc)

.PHONY: demo test deps build benchmark clean $(addprefix build-,$(PRESETS)) $(addprefix test-,$(PRESETS))

demo: build
	@scripts/demo.sh

test: build $(addprefix test-,$(PRESETS))

deps:
	@scripts/install-deps.sh

build: $(addprefix build-,$(PRESETS))

build-%: deps
	@cmake --preset $* >/dev/null
	@cmake --build --preset $* -j $(JOBS)

test-%: build-%
	@ctest --preset $* -j $(JOBS)

benchmark: build-native
	@build/native/benchmarks/ribbon-benchmark --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

clean:
	rm -rf build
