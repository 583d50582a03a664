# Thin wrapper over CMake and CTest. Every target installs missing system packages first.
.PHONY: all deps build run test asan bench fuzz format install package clean

# make install PREFIX=DIR: where `install` puts the game (bin/, share/quorvantille/, ...).
PREFIX ?= /usr/local

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@scripts/build.sh build

run: build
	@scripts/run.sh build

test: deps
	@scripts/test.sh build

asan: deps
	@scripts/test.sh build-asan -DQV_SANITIZE=ON -DQV_BENCH=OFF

bench: deps
	@scripts/bench.sh build

fuzz: deps
	@scripts/fuzz.sh build-fuzz

install: build
	cmake --install build --prefix "$(PREFIX)"

# A Debian package in build/ (CPack), installing below /usr.
package: build
	cd build && cpack -G DEB

format: deps
	@scripts/check-format.sh --fix

clean:
	rm -rf build build-asan build-fuzz
