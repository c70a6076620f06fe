# Pixelvane: the two commands a newcomer needs.
#   make test   install what is missing, build both trees, run every suite
#   make demo   build everything and play the tour in the host simulator
JOBS ?= $(shell nproc)

.PHONY: all deps native win32 sanitize test test-native test-win32 test-sanitize demo bench installer release clean

all: native win32

deps:
	scripts/install-deps

win32: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

native: deps win32
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

sanitize: deps
	cmake --preset native-sanitize >/dev/null
	cmake --build --preset native-sanitize -j $(JOBS)

test-win32: win32
	ctest --preset win32

test-native: native
	ctest --preset native -j $(JOBS)

test-sanitize: sanitize
	ctest --preset native-sanitize -j $(JOBS) -LE 'e2e|fuzz'

test: test-win32 test-native

demo: native
	scripts/demo

bench: native
	scripts/bench

# pixelvane-setup.exe in build/native/installer/.
installer: native

# build/release/pixelvane-<version>.zip: the plug-in, the pictures, the
# picture converter, the installer, INSTALL.txt and WIRING.txt.
release: native
	cmake --build --preset native --target release

clean:
	rm -rf build demo
