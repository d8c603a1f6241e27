# The two commands of the README; each installs what it needs first.
BUILD_TEST    := build/test
BUILD_RELEASE := build/release
BUILD_BENCH   := build/bench
BUILD_FUZZ    := build/fuzz
# make fuzz: seconds per target, and which targets (all when empty).
FUZZ_SECONDS  ?= 60
FUZZ_TARGETS  ?=
CMAKE_GEN     := -G Ninja

VERSION       := $(shell sed -n '/^project/s/.*VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DIST          := build/dist/Cheque-$(VERSION)

.PHONY: deps test run bench fuzz release dist clean format format-check tidy

deps:
	@bash scripts/install-deps.sh

test: deps
	cmake -S . -B $(BUILD_TEST) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DCHEQUE_SANITIZE=ON \
	  -DCHEQUE_WERROR=ON -DCMAKE_CXX_FLAGS_DEBUG="-g -O1"
	cmake --build $(BUILD_TEST)
	cd $(BUILD_TEST) && ctest --output-on-failure -j2

release: deps
	cmake -S . -B $(BUILD_RELEASE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCHEQUE_BUILD_TESTS=OFF
	cmake --build $(BUILD_RELEASE)

run: release
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display is available to show the program's window."; \
	  echo "On a machine without a screen, run it under a virtual display: xvfb-run make run"; \
	  exit 1; \
	fi
	$(BUILD_RELEASE)/Cheque/Cheque

bench: deps
	cmake -S . -B $(BUILD_BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCHEQUE_BUILD_TESTS=OFF \
	  -DCHEQUE_BUILD_BENCH=ON
	cmake --build $(BUILD_BENCH)
	$(BUILD_BENCH)/bench/cheque_bench
	$(BUILD_BENCH)/bench/window/cheque_window_bench

fuzz:
	@bash scripts/install-deps.sh fuzz
	cmake -S . -B $(BUILD_FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	  -DCHEQUE_SANITIZE=ON -DCHEQUE_WERROR=OFF -DCHEQUE_BUILD_TESTS=OFF -DCHEQUE_BUILD_FUZZ=ON \
	  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1"
	cmake --build $(BUILD_FUZZ) --target fuzz_targets -j2
	FUZZ_SECONDS=$(FUZZ_SECONDS) bash fuzz/run.sh $(BUILD_FUZZ) $(FUZZ_TARGETS)

# The folder Setup installs from, and its archive: the programs, the assets and
# a README.txt for the first minutes, never a data file that a run of the
# release build may have left beside them.
dist: release
	rm -rf $(DIST) $(DIST).tar.gz
	mkdir -p $(DIST)
	cp -a assets/. $(DIST)/
	rm -rf $(DIST)/icons
	cp $(BUILD_RELEASE)/Cheque/Cheque $(BUILD_RELEASE)/Cheque/Setup $(BUILD_RELEASE)/cli/cheque-cli $(DIST)/
	sed 's/@VERSION@/$(VERSION)/g' docs/dist_readme.txt > $(DIST)/README.txt
	tar -C build/dist -czf $(DIST).tar.gz Cheque-$(VERSION)
	@echo "$(DIST).tar.gz"

clean:
	rm -rf build

# Every C++ source as .clang-format lays it out.
format: deps
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i

format-check: deps
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

# clang-tidy over the sources, with the flags of the test build (configured
# and built first, as the sources include what the build generates).
# TIDY_BASE=<git ref> checks only the sources changed since then.
tidy: deps
	cmake -S . -B $(BUILD_TEST) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DCHEQUE_SANITIZE=ON \
	  -DCHEQUE_WERROR=ON -DCMAKE_CXX_FLAGS_DEBUG="-g -O1"
	cmake --build $(BUILD_TEST)
	TIDY_BASE=$(TIDY_BASE) bash scripts/tidy.sh $(BUILD_TEST)
