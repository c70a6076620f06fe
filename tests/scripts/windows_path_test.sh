#!/usr/bin/env bash
# scripts/windows-path in a copy of the scripts, with a Wine prefix already
# marked ready: what it writes to build/windows-path and says for this
# machine, for PIXELVANE_WINDOWS=win64 and for a value it does not take.
# Usage: windows_path_test.sh [source tree]
set -uo pipefail
root=$(cd "${1:-$(dirname "${BASH_SOURCE[0]}")/../..}" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/scripts" "$tmp/prefix"
cp "$root/scripts/windows-path" "$root/scripts/wine-env" "$tmp/scripts/"
touch "$tmp/prefix/.pixelvane-ready"
export PIXELVANE_WINEPREFIX=$tmp/prefix
failures=0
fail() { echo "FAIL [$1]: $2" >&2; failures=$((failures + 1)); }

run() { env "$@" "$tmp/scripts/windows-path" >"$tmp/out" 2>"$tmp/err"; }
value() { sed -n "s/^$1=//p" "$tmp/build/windows-path" | tr -d '"'; }

run || fail "this machine" "exit $?: $(cat "$tmp/err")"
# The probe's own answer: 42 the kernel ran it, 43 an emulator did (or a
# linux32 personality), anything else it did not run.
status=0
"$tmp/build/x86-32-probe" 2>/dev/null || status=$?
x86_32=$(value PIXELVANE_X86_32)
# i686 with no emulator registered: a linux32 personality, still the kernel.
handler=no
for entry in /proc/sys/fs/binfmt_misc/*; do
  [ -r "$entry" ] && grep -qx enabled "$entry" 2>/dev/null && grep -q '^interpreter .*i386' "$entry" && handler=yes
done
case $status:$handler in
  42:*) want=native ;;
  43:yes) want=emulated ;;
  43:no) want=native ;;
  *) want=none ;;
esac
[ "$x86_32" = "$want" ] || fail "this machine" "probe exit $status (i386 handler: $handler), but the file says '$x86_32'"
if [ "$x86_32" = native ]; then expected="win32 win64 win32"; else expected="win64 win64"; fi
[ "$(value PIXELVANE_WINDOWS_TREES) $(value PIXELVANE_HOST_TREE)" = "$expected" ] ||
  fail "this machine" "trees '$(value PIXELVANE_WINDOWS_TREES)', host '$(value PIXELVANE_HOST_TREE)' for $x86_32"
[ "$(wc -l <"$tmp/out")" -eq 1 ] && grep -q "^windows-path: this machine .*: the Windows suites run on the win" "$tmp/out" ||
  fail "this machine" "said: $(cat "$tmp/out")"

run PIXELVANE_WINDOWS=win64 || fail "forced" "exit $?"
[ "$(value PIXELVANE_WINDOWS_TREES) $(value PIXELVANE_HOST_TREE)" = "win64 win64" ] || fail "forced" "$(cat "$tmp/build/windows-path")"
[ "$(value PIXELVANE_X86_32)" = "$x86_32" ] || fail "forced" "the probe's answer changed"
grep -q "on the win64 tree (PIXELVANE_WINDOWS=win64)$" "$tmp/out" || fail "forced" "said: $(cat "$tmp/out")"

cp "$tmp/build/windows-path" "$tmp/before"
run PIXELVANE_WINDOWS=win32
status=$?
[ "$status" -eq 2 ] || fail "refused" "exit $status for PIXELVANE_WINDOWS=win32"
grep -q "PIXELVANE_WINDOWS=win32 is not a path" "$tmp/err" || fail "refused" "said: $(cat "$tmp/err")"
cmp -s "$tmp/before" "$tmp/build/windows-path" || fail "refused" "build/windows-path was rewritten"

[ "$failures" -eq 0 ] || exit 1
echo "windows_path_test: all cases pass ($x86_32 here)"
