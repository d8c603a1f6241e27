# The two commands of the README; each installs what it needs first.
BUILD_TEST    := build/test
BUILD_RELEASE := build/release
BUILD_BENCH   := build/bench
CMAKE_GEN     := -G Ninja

.PHONY: deps test run bench release clean

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

clean:
	rm -rf build
