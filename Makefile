# Pixelvane: the two commands a newcomer needs.
#   make test   install what is missing, build every tree, run every suite
#   make demo   build everything and play the tour in the host simulator
# scripts/windows-path (run by deps) finds out whether this machine runs
# 32-bit x86 programs; where it does not, the Windows suites and the demo run
# on the win64 tree. PIXELVANE_WINDOWS=win64 takes that path on any machine.
JOBS ?= $(shell nproc)

.PHONY: all deps native win32 win64 sanitize fuzz test test-native test-win32 test-win64 test-sanitize test-fuzz demo bench installer release clean

all: native win32 win64

deps:
	scripts/install-deps
	scripts/windows-path

win32: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

# The shipped files always come from the win32 tree, which builds anywhere.
win64: deps
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 -j $(JOBS)

native: deps win32 win64
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

sanitize: deps
	cmake --preset native-sanitize >/dev/null
	cmake --build --preset native-sanitize -j $(JOBS)

# The libFuzzer targets (clang, ASan, UBSan) and only what they link.
fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)

test-win32: win32
	ctest --preset win32

test-win64: win64
	ctest --preset win64

test-native: native
	ctest --preset native -j $(JOBS)

test-sanitize: sanitize
	ctest --preset native-sanitize -j $(JOBS) -LE 'e2e|fuzz'

# Each fuzzer runs PIXELVANE_FUZZ_SECONDS (default 60) on a copy of its
# corpus; two at a time, so the nine take about five minutes.
test-fuzz: fuzz
	ctest --preset fuzz -j 2 -L fuzz

# Every suite, each tree on the path this machine takes, and one line per
# tree at the end (scripts/test).
test: native sanitize fuzz
	scripts/test

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
