#!/usr/bin/env bash
# pixelvane-picture.exe as it ships, under Wine: a valid image converts to
# the same bytes as on Linux and replaces the picture that was there; a
# hostile one is refused with the limit it breaks, and the picture stays;
# a picture another program holds open is never lost.
#   converter_exe_test.sh CONVERTER HOLD_FILE IMAGES WORKDIR
# IMAGES holds valid.png, valid.bmp (what the native converter makes of it)
# and hostile.gif (a 5000x5000 canvas of 256 frames, each disposed to the one before).
set -uo pipefail
[ $# -eq 4 ] || { echo "usage: converter_exe_test.sh CONVERTER HOLD_FILE IMAGES WORKDIR" >&2; exit 2; }
converter=$1 holder=$2 images=$3 work=$4
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env"

failures=0
current=""
testCase() { current=$1; echo "== $1"; }
fail() { echo "FAIL [$current]: $*" >&2; failures=$((failures + 1)); }
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }

# Runs the converter on IMAGE with -o PICTURE; status in $status, messages in $errors.
convert() {
  wine "$converter" "$(winpath "$1")" -o "$(winpath "$2")" >"$work/out.txt" 2>"$work/err.txt"
  status=$?
  errors=$(tr -d '\r' <"$work/err.txt")
}
leftovers() { find "$work" -name '*.part'; }

rm -rf "$work"
mkdir -p "$work"
picture=$work/LCDAbout.bmp

testCase "a valid PNG replaces the picture that was there with the bytes the Linux converter makes"
echo "an earlier picture" >"$picture"
convert "$images/valid.png" "$picture"
[ "$status" -eq 0 ] || fail "exit $status: $errors"
cmp -s "$images/valid.bmp" "$picture" || fail "the picture differs from the native converter's"
[ -z "$(leftovers)" ] || fail "left behind: $(leftovers)"

testCase "a hostile GIF is refused before decoding, saying which limit, and the picture stays"
cp "$images/valid.bmp" "$work/before.bmp"
convert "$images/hostile.gif" "$picture"
[ "$status" -eq 1 ] || fail "exit $status, expected 1"
case $errors in
  *"hostile.gif: is 5000x5000 pixels, wider and taller than the 4096 the converter takes"*) ;;
  *) fail "message: $errors" ;;
esac
cmp -s "$work/before.bmp" "$picture" || fail "the picture changed"
[ -z "$(leftovers)" ] || fail "left behind: $(leftovers)"

# While another program holds the picture: with no sharing, Windows refuses
# to replace it, and the converter must say so and keep it; with delete
# sharing, the picture may be replaced or kept, but never lost.
for sharing in none delete; do
  testCase "a picture held open (sharing: $sharing) is replaced or kept, never lost"
  echo "the picture in use" >"$picture"
  rm -f "$work/ready" "$work/release"
  wine "$holder" "$(winpath "$picture")" "$sharing" "$(winpath "$work/ready")" "$(winpath "$work/release")" \
    >/dev/null 2>&1 &
  holderPid=$!
  for i in $(seq 80); do [ -e "$work/ready" ] && break; sleep 0.25; done
  if [ -e "$work/ready" ]; then
    convert "$images/valid.png" "$picture"
  else
    fail "the stand-in did not open the picture"
  fi
  touch "$work/release"
  wait "$holderPid" || fail "the stand-in failed"
  if [ "$status" -eq 0 ]; then
    [ "$sharing" = delete ] || fail "replaced a picture held with no sharing"
    cmp -s "$images/valid.bmp" "$picture" || fail "exit 0 but the picture is not the new one"
  else
    [ "$status" -eq 1 ] || fail "exit $status"
    [ "$(cat "$picture" 2>/dev/null)" = "the picture in use" ] || fail "exit $status and the old picture is gone"
    case $errors in
      *"cannot replace it with the finished picture ("*"); it is left as it was"*) ;;
      *) fail "message: $errors" ;;
    esac
  fi
  echo "   (exit $status${errors:+: $errors})"
  [ -z "$(leftovers)" ] || fail "left behind: $(leftovers)"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all converter checks passed"
