#!/usr/bin/env bash
# scripts/install-deps against logging stand-ins for apt-get, apt-cache, dpkg
# and dpkg-query, first on PATH, with every path it writes in a temporary
# directory. Usage: install_deps_test.sh [source tree]
set -euo pipefail
root=$(cd "${1:-$(dirname "${BASH_SOURCE[0]}")/../..}" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/bin"
# STUB_UPDATE, STUB_PLAIN, STUB_TARGET (install -t), STUB_URIS (source
# --print-uris), STUB_SOURCE: exit statuses (STUB_SOURCE=empty: nothing unpacked).
cat >"$tmp/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
t=; uris=; args=()
while [ $# -gt 0 ]; do case $1 in -t) t=$2; shift ;; --print-uris) uris=1 ;; -*) ;; *) args+=("$1") ;; esac; shift; done
err() { printf '%s\n' "$@"; exit 100; }
case ${args[0]}${uris:+-uris} in
  update) echo update >>"$WORK/calls"; [ "${STUB_UPDATE:-0}" = 0 ] || err "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages  File has unexpected size (1 != 2). Mirror sync in progress?" ;;
  install) echo "install${t:+ -t $t}" >>"$WORK/calls"; rc=${STUB_PLAIN:-0}; [ -z "$t" ] || rc=${STUB_TARGET:-0}
    [ "$rc" = 0 ] || err " wine32:i386 : Depends: libwine:i386 (= 8.0) but 8.0+deb12u1 is to be installed" "E: Unable to correct problems, you have held broken packages." ;;
  source-uris) echo "source --print-uris" >>"$WORK/calls"; exit "${STUB_URIS:-0}" ;;
  source) echo source >>"$WORK/calls"; [ "${STUB_SOURCE:-0}" != empty ] || exit 0
    [ "${STUB_SOURCE:-0}" = 0 ] || err "E: Unable to find a source package for giflib"
    mkdir giflib-5.2.1 && touch giflib-5.2.1/dgif_lib.c giflib_5.2.1-2.5.dsc ;;
esac
STUB
printf '#!/usr/bin/env bash\necho "  Candidate: %s"\n' '$([ "$2" = "${STUB_NO_CANDIDATE:-}" ] && echo "(none)" || echo 1.0)' >"$tmp/bin/apt-cache"
printf '#!/usr/bin/env bash\ngrep -qxF -e "${!#}" -e "*" "$WORK/installed" && echo "install ok installed"\n' >"$tmp/bin/dpkg-query"
printf '#!/usr/bin/env bash\n[ "$1" = --print-foreign-architectures ] && echo i386 || echo "dpkg $*" >>"$WORK/calls"\n' >"$tmp/bin/dpkg"
chmod +x "$tmp/bin"/*
echo VERSION_CODENAME=bookworm >"$tmp/os-release"

# scenario | installed ("*": all) | giflib ready | stand-ins | exit | output lines (EREs joined by " && ") | calls | giflib marker (+deb-src: entry written)
scenarios=(
  "mirror failure||yes|STUB_UPDATE=100 STUB_PLAIN=100|0|^install-deps: installing .* wine32:i386 .*g\+\+-mingw-w64-x86-64\> && ^install-deps: apt-get update failed 3 times \(http://[^ ]*/binary-i386/Packages\); carrying on && ^install-deps: the plain install failed \(unmet dependencies: .*\); installing from bookworm's own suite$|update,update,update,install,install -t bookworm|before"
  "no candidate||yes|STUB_PLAIN=100 STUB_TARGET=100 STUB_NO_CANDIDATE=qemu-user-static|1|^install-deps: no package index offers qemu-user-static \(is the i386 architecture added|update,install,install -t bookworm|before"
  "all in place|*|yes||0|||before"
  "deb-src update fails|*|no|STUB_URIS=100 STUB_UPDATE=100|0|^install-deps: apt-get update failed 3 times \(http://[^ ]*/binary-i386/Packages\)|source --print-uris,update,update,update,source|giflib_5.2.1-2.5.dsc +deb-src"
  "source fails|*|no|STUB_SOURCE=100|1|^install-deps: apt-get source giflib failed \(E: Unable to find a source package for giflib\)|source --print-uris,source|none"
  "nothing unpacked|*|no|STUB_SOURCE=empty|1|^install-deps: no giflib source unpacked$|source --print-uris,source|none"
)
failures=0 n=0
check() {  # scenario, what, expected, got
  [ "$3" = "$4" ] || { printf 'FAIL %s: %s\n  expected: %s\n  got:      %s\n' "$@"; failures=$((failures + 1)); }
}
for row in "${scenarios[@]}"; do
  IFS='|' read -r name installed ready stubs status lines expected_calls marker <<<"$row"
  export WORK=$tmp/$((++n)); mkdir -p "$WORK/sources" "$WORK/deps"; : >"$WORK/calls"
  echo "$installed" >"$WORK/installed"
  [ "$ready" != yes ] || { mkdir "$WORK/deps/giflib"; echo before >"$WORK/deps/giflib/.pixelvane-ready"; }
  rc=0
  out=$(env PATH="$tmp/bin:$PATH" $stubs PIXELVANE_APT_RETRY_PAUSE=0 PIXELVANE_OS_RELEASE="$tmp/os-release" \
        PIXELVANE_APT_SOURCES_DIR="$WORK/sources" PIXELVANE_DEPS_DIR="$WORK/deps" \
        bash "$root/scripts/install-deps" 2>&1) || rc=$?
  check "$name" "exit status" "$status" "$rc"
  check "$name" "apt-get and dpkg calls" "$expected_calls" "$(paste -sd , "$WORK/calls")"
  check "$name" "giflib's ready marker" "$marker" "$(cat "$WORK/deps/giflib/.pixelvane-ready" 2>/dev/null || echo none)$(
        [ ! -f "$WORK/sources/pixelvane-deb-src.sources" ] || echo ' +deb-src')"
  [ -n "$lines" ] || check "$name" "output" "" "$out"
  mapfile -t patterns <<<"${lines// && /$'\n'}"
  for pattern in "${patterns[@]}"; do
    [ -z "$pattern" ] || grep -qE -- "$pattern" <<<"$out" || check "$name" "an output line" "$pattern" "$out"
  done
done
if [ "$failures" -gt 0 ]; then echo "install_deps_test: $failures check(s) failed"; exit 1; fi
echo "install_deps_test: all scenarios pass"
