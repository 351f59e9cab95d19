# Presenze: quick start is `make run` and `make test`.

BUILD ?= build
SANITIZE ?= 0
XL ?= 0
XXL ?= 0
WERROR ?= 0
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

ifeq ($(SANITIZE),1)
BUILD := build-asan
CMAKE_FLAGS += -DPRESENZE_SANITIZE=ON -DPRESENZE_BENCH=OFF -DPRESENZE_GUI=ON
# Every sanitizer report, also from the programs the tests start (whose
# failure a test may expect), lands in a file; any file fails the run.
SANITIZER_LOGS := $(CURDIR)/$(BUILD)/sanitizer-logs
TEST_ENV := ASAN_OPTIONS=log_path=$(SANITIZER_LOGS)/asan:detect_leaks=1 \
    UBSAN_OPTIONS=log_path=$(SANITIZER_LOGS)/ubsan:print_stacktrace=1
endif

PACKAGES = build-essential cmake pkg-config sqlite3 libsqlite3-dev libxxhash-dev \
    mdbtools mdbtools-dev libglib2.0-dev libcli11-dev \
    qt6-base-dev qt6-translations-l10n libgl-dev \
    libxlsxwriter-dev zlib1g-dev libisal-dev unzip qt6-charts-dev libqt6opengl6-dev qt6-svg-dev \
    postgresql libpq-dev \
    libgtest-dev libgmock-dev libbenchmark-dev \
    cups cups-client cups-bsd poppler-utils fonts-dejavu-core \
    clang libclang-rt-14-dev clang-format xvfb xauth xdg-utils

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
DEMO := $(CURDIR)/demo

# Warnings stop the build when WERROR=1 (the CI run).
CMAKE_FLAGS += -DPRESENZE_WERROR=$(if $(filter 1,$(WERROR)),ON,OFF)

FORMAT_SOURCES = find src app tests bench -name '*.cpp' -o -name '*.h'

.PHONY: all deps build test run demo bench fuzz format format-check clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installazione dei pacchetti:$$missing"; \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -q && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $$missing; \
	fi

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

test: build
ifeq ($(SANITIZE),1)
	@rm -rf $(SANITIZER_LOGS) && mkdir -p $(SANITIZER_LOGS)
	@cd $(BUILD) && $(TEST_ENV) ctest --output-on-failure -j $(JOBS) --timeout 900; status=$$?; \
	if [ -n "$$(ls -A $(SANITIZER_LOGS))" ]; then \
	    cat $(SANITIZER_LOGS)/*; echo "Segnalazioni dei sanitizer in $(SANITIZER_LOGS)"; exit 1; \
	fi; exit $$status
else
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600
endif

demo: build
	@rm -rf $(DEMO)
	@$(BUILD)/bin/presenze-cli demo $(DEMO)

run: demo
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	    cd $(DEMO) && exec $(CURDIR)/$(BUILD)/bin/presenze --data-dir $(DEMO); \
	else \
	    echo "Nessuno schermo disponibile: stampa dal terminale sui dati dimostrativi."; \
	    month=$$(date +%m/%Y); cli=$(CURDIR)/$(BUILD)/bin/presenze-cli; err=$$(mktemp); \
	    cd $(DEMO) && for request in "1 --station 1" "2 --station 2 --detail"; do \
	        set -- $$request; \
	        if path=$$($$cli report --type $$request --from $$month 2>$$err); then \
	            echo "Rapporto Tipo $$1: $$path"; \
	        else \
	            echo "Rapporto Tipo $$1 non disponibile: $$(cat $$err)"; \
	        fi; \
	    done; \
	    rm -f $$err; \
	fi

# The DuckDB baseline's package goes into the benchmark's own folder (not in
# the repository); without node or npm the baseline is left out.
DUCKDB_BENCH := bench/duckdb

bench: build
	@if command -v npm >/dev/null && [ ! -d $(DUCKDB_BENCH)/node_modules/@duckdb/node-api ]; then \
	    echo "Installazione di @duckdb/node-api in $(DUCKDB_BENCH)"; \
	    (cd $(DUCKDB_BENCH) && npm install --no-package-lock --no-audit --no-fund --loglevel=error) || \
	    echo "@duckdb/node-api non installato: il confronto con DuckDB viene escluso"; \
	fi
	@$(BUILD)/bin/presenze-bench $(if $(filter 1,$(XL)),--xl,) $(if $(filter 1,$(XXL)),--xxl,)
	@if [ -x $(BUILD)/bin/presenze-bench-gui ]; then $(BUILD)/bin/presenze-bench-gui; fi

fuzz: deps
	@cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	    -DPRESENZE_FUZZ=ON -DPRESENZE_GUI=OFF -DPRESENZE_TESTS=OFF -DPRESENZE_BENCH=OFF >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@tests/fuzz/run-all.sh build-fuzz $(or $(FUZZ_SECONDS),60)

format:
	@$(FORMAT_SOURCES) | xargs clang-format -i

# Fails, naming the places, when a file is not as `make format` leaves it.
format-check: deps
	@$(FORMAT_SOURCES) | xargs clang-format --dry-run --Werror

clean:
	rm -rf build build-asan build-fuzz
