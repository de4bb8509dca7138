# Entry points: `make run` builds and starts KelvMap on the bundled sample
# universe; `make test` builds everything and runs every test; `make package`
# builds the .deb and .tar.gz packages (Release, in build-package/).
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: deps build run test test-asan bench package fuzz clean

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DKELV_WERROR=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run-sample.sh $(BUILD)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DKELV_WERROR=ON -DKELV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DKELV_BUILD_BENCH=ON -DKELV_BUILD_TESTS=OFF
	cmake --build build-bench -j $(JOBS)

package: deps
	cmake -S . -B build-package $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DKELV_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build build-package -j $(JOBS)
	cd build-package && cpack
	@ls -l build-package/kelvmap_*.deb build-package/kelvmap-*.tar.gz

# Removes the build folders but keeps each one's bin/Data, which may hold a
# user's own exports and tables.
clean:
	@for dir in $(BUILD) $(ASAN_BUILD) build-bench build-fuzz build-package; do \
	  [ -d "$$dir" ] || continue; \
	  if [ -d "$$dir/bin/Data" ]; then \
	    find "$$dir" -mindepth 1 -maxdepth 1 ! -name bin -exec rm -rf {} +; \
	    find "$$dir/bin" -mindepth 1 -maxdepth 1 ! -name Data -exec rm -rf {} +; \
	    echo "clean: removed $$dir, kept $$dir/bin/Data"; \
	  else \
	    rm -rf "$$dir"; echo "clean: removed $$dir"; \
	  fi; \
	done

fuzz:
	bash scripts/fuzz.sh $(or $(FUZZ_SECONDS),60)
