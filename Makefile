# The README's two commands: `make demo` runs the product, `make test` runs every test.
# Both install what they need first (Debian packages; sudo when not root).

PRESETS := native win32 win64
JOBS ?= $(shell nproc)

# build-% and test-% are pattern rules, which .PHONY would switch off; FORCE keeps them running.
.PHONY: demo test deps build benchmark clean FORCE

demo: build
	@scripts/demo.sh

# test-sanitize: the portable tests under ASan and UBSan, and a minute of the ribbon fuzzer.
test: build $(addprefix test-,$(PRESETS)) test-sanitize

deps:
	@scripts/install-deps.sh

build: $(addprefix build-,$(PRESETS))

build-%: deps FORCE
	@cmake --preset $* >/dev/null
	@cmake --build --preset $* -j $(JOBS)

test-%: build-% FORCE
	@$(if $(ctest_note_$*),echo "$(ctest_note_$*)" >&2;)
	@ctest --preset $* -j $(JOBS) $(ctest_args_$*)

# A machine whose processor runs no 32-bit code (some hypervisors give their guests no
# compatibility mode) cannot start Wine's 32-bit loader, so no x86 Windows program runs there:
# the x86 build is still made and its binaries checked (imports, sizes), and the x64 tests run
# without those that start an x86 program (label x86: the NSIS installer, x86 Excel).
ifneq ($(shell cmake/x86-code-runs.sh && echo yes),yes)
ctest_args_win32 := -L wine-free
ctest_args_win64 := -LE x86
ctest_note_win32 := make test: this machine runs no 32-bit x86 code; of the x86 tests only those that start no Windows program run here
ctest_note_win64 := make test: this machine runs no 32-bit x86 code; the x64 tests that start an x86 program do not run here
endif

# What one preset's tests take from another's build, so that `make -j N test` never runs them
# before it is there: the x86 tests compare documents with the native corbel-ribbon, and the
# x64 installer tests run the installer and the x86 excel-host of the win32 build.
test-win32: build-native
test-win64: build-win32

# The ribbon and command search benchmarks, then each shipped file's size against its budget and its size before
# the binaries were trimmed (the binary-size-budgets test, which ctest shows only on failure).
benchmark: build-native build-win32 build-win64
	@build/native/benchmarks/ribbon-benchmark --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	@build/native/benchmarks/search-benchmark --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	@for preset in win32 win64; do \
	  ctest --preset $$preset -R '^binary-size-budgets$$' -V | sed -n 's/^[0-9]*: \(.* KB (before.*\)/\1/p'; \
	done

clean:
	rm -rf build

FORCE:
