# make test   install what is missing, build, run every test (plain, sanitizers, fuzz)
# make demo   install what is missing, build, run Skylane against the relay
# make bench  install what is missing, build and run the benchmarks
# make format rewrite every C++ file in the project's one code style

JOBS ?= $(shell nproc)
PACKAGES := cmake make g++ clang libclang-rt-14-dev clang-format pkg-config \
	googletest libgtest-dev libgmock-dev libbenchmark-dev \
	libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev fonts-liberation2 \
	libx11-dev libxext-dev xvfb xauth libsndfile1-dev libsamplerate0-dev \
	libsoxr-dev libspeexdsp-dev libpixman-1-dev libcairo2-dev \
	libjack-jackd2-dev jackd2 \
	libpipewire-0.3-dev pipewire pipewire-bin wireplumber pipewire-jack dbus-daemon

CMAKE_COMMON := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYLANE_WERROR=ON
CTEST := ctest --output-on-failure --no-tests=error -j $(JOBS)

.PHONY: deps build test test-plain test-asan test-tsan format format-check bench demo clean

deps:
	@missing=$$(for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
		$$SUDO apt-get update -qq && \
		$$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B build -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc $(CMAKE_COMMON)
	cmake --build build -j $(JOBS)

test-plain: build
	cd build && $(CTEST)

# clang with AddressSanitizer and UndefinedBehaviorSanitizer; also builds and
# runs the fuzz targets for a few seconds each.
test-asan: deps
	cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang $(CMAKE_COMMON) \
		-DSKYLANE_SANITIZE=address,undefined -DSKYLANE_FUZZ=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 $(CTEST)

# ThreadSanitizer over the threaded tests only.
test-tsan: deps
	cmake -S . -B build-tsan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang $(CMAKE_COMMON) \
		-DSKYLANE_SANITIZE=thread
	cmake --build build-tsan -j $(JOBS)
	cd build-tsan && TSAN_OPTIONS=halt_on_error=1 $(CTEST) -L threads

SOURCES = git ls-files '*.cpp' '*.h'

format: deps
	$(SOURCES) | xargs clang-format -i

# Fails when a file differs from the code style in .clang-format.
format-check: deps
	$(SOURCES) | xargs clang-format --dry-run -Werror

test: format-check test-plain test-asan test-tsan
	@echo "All test runs passed."

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DSKYLANE_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	@for b in $$(find build-bench/bench -type f -perm -u+x -name 'bench_*' | sort); do \
		echo "== $$b"; $$b || exit 1; \
	done

demo: build
	tools/demo.sh build

clean:
	rm -rf build build-asan build-tsan build-bench
