# Heraldpad: everything a fresh Debian machine needs, in a few goals.
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

FUZZ_SECONDS ?= 300

.PHONY: run test build bench fuzz fuzz-build package windows clean deps-build deps-test deps-bench deps-package deps-windows

# Explicit rules: make looks for no pattern rule for a .PHONY target.
deps-build deps-test deps-bench deps-package deps-windows:
	@scripts/deps.sh $(@:deps-%=%)

build: deps-build
	cmake -S . -B build/run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHERALDPAD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build build/run -j $(JOBS)

run: build
	./build/run/ui/heraldpad

# The fuzz target and the Windows build of the portable core (its tests run
# under wine) go first, so that the native ctest's summary closes the output.
test: deps-test
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=30
	cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Debug -DHERALDPAD_WERROR=ON $(CMAKE_FLAGS)
	cmake --build build/win -j $(JOBS)
	cd build/win && ctest --output-on-failure -j $(JOBS)
	cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DHERALDPAD_SANITIZE=ON -DHERALDPAD_WERROR=ON $(CMAKE_FLAGS)
	cmake --build build/test -j $(JOBS)
	cd build/test && ctest --output-on-failure -j $(JOBS)

# The Windows program's row (under wine) comes from the build of make windows.
bench: deps-bench windows
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DHERALDPAD_TESTS=OFF -DHERALDPAD_BENCH=ON $(CMAKE_FLAGS)
	cmake --build build/bench -j $(JOBS)
	WINDOWS_EXE=build/windows/win32ui/heraldpad.exe bench/run.sh build/bench

fuzz-build: deps-test
	cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHERALDPAD_FUZZ=ON -DHERALDPAD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build build/fuzz -j $(JOBS)

fuzz: fuzz-build
	tests/fuzz/run.sh build/fuzz $(FUZZ_SECONDS)

package: deps-package
	cmake -S . -B build/package -DCMAKE_BUILD_TYPE=Release -DHERALDPAD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build build/package -j $(JOBS)
	cd build/package && cpack -G DEB
	cp build/package/heraldpad_*.deb build/
	@ls -1 build/heraldpad_*.deb

# For Windows, built here with mingw-w64: heraldpad.exe (one program file,
# statically linked), a zip of it with the README, and an installer (NSIS).
windows: deps-windows
	cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release -DHERALDPAD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build build/windows -j $(JOBS)
	cp build/windows/win32ui/package/heraldpad.exe build/windows/heraldpad-*-windows-x64.zip build/windows/heraldpad-*-setup.exe build/
	@ls -1 build/heraldpad.exe build/heraldpad-*-windows-x64.zip build/heraldpad-*-setup.exe

clean:
	rm -rf build
