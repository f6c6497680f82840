# make build        the product: Skylane.so, skylane-relay, skylane-host (in build/)
# make install      install it under PREFIX (default /usr/local; DESTDIR honoured)
# make uninstall    remove exactly what make install installed
# make install-user install it for the current user, no root needed
# make deb          build the Debian package skylane_<version>-1_amd64.deb
# make test   install what is missing, build, run every test (plain, sanitizers, fuzz)
# make demo   install what is missing, build, run Skylane against the relay
# make bench  install what is missing, build and run the benchmarks (the end-to-end
#             ones use the test helpers, so the test suites are built too)
# make format rewrite every C++ file in the project's one code style

JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
# What the product needs to build.
PACKAGES := cmake make g++ pkg-config \
	libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev fonts-liberation2 \
	libx11-dev libxext-dev libsndfile1-dev libsamplerate0-dev \
	libjack-jackd2-dev lv2-dev libpipewire-0.3-dev
# What the tests, sanitizer and fuzz builds and the benchmarks need besides.
TEST_PACKAGES := clang libclang-rt-14-dev clang-format \
	googletest libgtest-dev libgmock-dev libbenchmark-dev \
	xvfb xauth jackd2 systemd liblilv-dev lilv-utils sordi \
	libsoxr-dev libspeexdsp-dev libpixman-1-dev libcairo2-dev \
	pipewire pipewire-bin wireplumber pipewire-jack dbus-daemon
# What make deb needs besides the product's packages.
DEB_PACKAGES := build-essential debhelper lintian fakeroot

CMAKE_COMMON := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYLANE_WERROR=ON
CTEST := ctest --output-on-failure --no-tests=error -j $(JOBS)

.PHONY: deps deps-test deps-deb build build-tests install uninstall install-user uninstall-user \
	deb test test-plain test-asan test-tsan format format-check bench demo clean

# Installs the Debian packages of $(1) that are missing, without the
# packages they merely recommend.
define install_missing
	@missing=$$(for p in $(1); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
		$$SUDO apt-get update -qq && \
		$$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

deps-test:
	$(call install_missing,$(PACKAGES) $(TEST_PACKAGES))

deps-deb:
	$(call install_missing,$(PACKAGES) $(DEB_PACKAGES))

build: deps
	cmake -S . -B build -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc $(CMAKE_COMMON) -DSKYLANE_TESTS=OFF
	cmake --build build -j $(JOBS)

# The same folder with the test suites switched on.
build-tests: deps-test
	cmake -S . -B build -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc $(CMAKE_COMMON) -DSKYLANE_TESTS=ON
	cmake --build build -j $(JOBS)

# Installs what make build built (it does not build, so that `sudo make install`
# leaves no root-owned files in build/). cmake --install writes
# build/install_manifest.txt; a copy of it records what this installation put
# where, for uninstall.
install:
	@test -f build/cmake_install.cmake || { echo "make install: nothing built; run make build first" >&2; exit 2; }
	DESTDIR="$(DESTDIR)" cmake --install build --prefix "$(PREFIX)" --strip
	cp build/install_manifest.txt build/installed-files.txt

uninstall:
	DESTDIR="$(DESTDIR)" cmake -DMANIFEST=build/installed-files.txt -P cmake/Uninstall.cmake

install-user: build
	packaging/install-user.sh build

uninstall-user:
	packaging/install-user.sh build --uninstall

# Builds from a copy of the sources in build-deb/, so that the package build
# leaves the tree as it was; the package lands in the top folder.
deb: deps-deb
	rm -rf build-deb && mkdir -p build-deb/skylane
	tar -c --exclude='./build*' --exclude=./.git --exclude='./*.deb' --exclude='./*.wav' \
		--exclude=./demo-editor.png . | tar -x -C build-deb/skylane
	cd build-deb/skylane && dpkg-buildpackage -b -us -uc -j$(JOBS)
	cp build-deb/skylane_*_amd64.deb .
	lintian --fail-on error build-deb/skylane_*_amd64.changes
	@ls -l skylane_*_amd64.deb

test-plain: build-tests
	cd build && $(CTEST)

# clang with AddressSanitizer and UndefinedBehaviorSanitizer; also builds and
# runs the fuzz targets for a few seconds each.
test-asan: deps-test
	cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang $(CMAKE_COMMON) \
		-DSKYLANE_SANITIZE=address,undefined -DSKYLANE_FUZZ=ON -DSKYLANE_TESTS=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 $(CTEST)

# ThreadSanitizer over the threaded tests only.
test-tsan: deps-test
	cmake -S . -B build-tsan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang $(CMAKE_COMMON) \
		-DSKYLANE_SANITIZE=thread -DSKYLANE_TESTS=ON
	cmake --build build-tsan -j $(JOBS)
	cd build-tsan && TSAN_OPTIONS=halt_on_error=1 $(CTEST) -L threads

SOURCES = git ls-files '*.cpp' '*.h'

format: deps-test
	$(SOURCES) | xargs clang-format -i

# Fails when a file differs from the code style in .clang-format.
format-check: deps-test
	$(SOURCES) | xargs clang-format --dry-run -Werror

test: format-check test-plain test-asan test-tsan
	@echo "All test runs passed."

bench: deps-test
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DSKYLANE_BENCH=ON -DSKYLANE_TESTS=ON
	cmake --build build-bench -j $(JOBS)
	@for b in $$(find build-bench/bench -type f -perm -u+x -name 'bench_*' | sort); do \
		echo "== $$b"; $$b || exit 1; \
	done

demo: build
	cmake --build build -j $(JOBS) --target skylane-wavscan
	tools/demo.sh build

clean:
	rm -rf build build-asan build-tsan build-bench build-deb
