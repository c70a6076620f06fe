#!/usr/bin/env bash
# Runs pixelvane-setup.exe and its uninstaller silently under Wine against
# simulated player folders, and checks what the release zip holds.
#   installer_test.sh SETUP ZIP RELEASE_FILES CONVERTER TEXTS BUS_CPP HOLDER WORKDIR PANEL_DLL
# RELEASE_FILES is the win32 tree's release-files/: the files as they ship,
# and in symbols/ the plug-in and the converter as linked.
# The registry keys and the standard player folder it makes in the Wine
# prefix are removed again at the end (and at the start, should an earlier
# run have been killed).
set -uo pipefail
[ $# -eq 9 ] || { echo "usage: installer_test.sh SETUP ZIP RELEASE_FILES CONVERTER TEXTS BUS_CPP HOLDER WORKDIR PANEL_DLL" >&2; exit 2; }
setup=$1 zip=$2 files=$3 converter=$4 texts=$5 bus=$6 holder=$7 work=$8 panel=$9
PANEL=pixelvane-panel.dll
# THIRD-PARTY-NOTICES.txt as setup installs it in the shared Plugins folder.
NOTICES=Pixelvane-THIRD-PARTY-NOTICES.txt
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/wine-env"

# The plug-in's glyph file is ours: setup always puts it in place and the
# uninstaller always removes it, changed or not.
GLYPHS=pixelvane-glyphs.bin
# The built-in layouts are ours too, in a layouts folder beside the plug-in:
# each file of the source's layouts/, as the build wrote it with CRLF.
sources=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
LAYOUTS=()
for layout in "$sources"/layouts/*.ini; do LAYOUTS+=("layouts/$(basename "$layout")"); done
SHIPPED=(gen_pixelvane.dll "$GLYPHS" LCDLIntro.bmp LCDMMenu.bmp LCDSIntro.bmp LCDAbout.bmp "${LAYOUTS[@]}")
PICTURES=(LCDLIntro.bmp LCDMMenu.bmp LCDSIntro.bmp LCDAbout.bmp)
UNINSTALLER=uninstall-pixelvane.exe
PLAYER_KEY='HKCU\Software\Winamp'
UNINSTALL_ROOT='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
PLAYER_UNINSTALL_KEY="$UNINSTALL_ROOT\\Winamp"
OUR_UNINSTALL_KEY="$UNINSTALL_ROOT\\Pixelvane"
# setup is a 32-bit program: its Program Files is the x86 one, and its HKLM
# keys are in the 32-bit registry view.
standard="$WINEPREFIX/drive_c/Program Files (x86)/Winamp"
STANDARD_MARK=.made-by-installer-test

failures=0
current=""
testCase() { current=$1; echo "== $1"; }
fail() { echo "FAIL [$current]: $*" >&2; failures=$((failures + 1)); }

winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }
regAdd() { wine reg add "$@" /f >/dev/null 2>&1 || fail "reg add $1"; }
regDelete() { wine reg delete "$@" /f >/dev/null 2>&1 || true; }
regHas() { wine reg query "$@" >/dev/null 2>&1; }
regValue() { wine reg query "$1" /v "$2" /reg:32 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }

cleanUp() {
  regDelete "$PLAYER_KEY"
  regDelete "$PLAYER_UNINSTALL_KEY" /reg:32
  regDelete "$OUR_UNINSTALL_KEY" /reg:32
  if [ -e "$standard/$STANDARD_MARK" ]; then rm -rf "$standard"; fi
  # The uninstaller runs from a copy of itself in the temporary folder.
  rm -rf "$WINEPREFIX"/drive_c/users/*/Temp/~nsu*.tmp
}

runSetup() { wine "$setup" "$@" >/dev/null 2>&1; }

# The uninstaller hands over to a copy of itself and returns at once; the
# copy deletes the uninstaller last, so its going means the work is done.
# Arguments after the folder go to the uninstaller.
runUninstaller() {
  local folder=$1
  shift
  [ -f "$folder/$UNINSTALLER" ] || { fail "no $UNINSTALLER in $folder"; return; }
  wine "$(winpath "$folder/$UNINSTALLER")" /S "$@" >/dev/null 2>&1 || fail "uninstaller exit $?"
  local i
  for i in $(seq 80); do
    [ -e "$folder/$UNINSTALLER" ] || return 0
    sleep 0.25
  done
  fail "the uninstaller did not finish within 20 s"
}

# PLUGINS is the folder on this side; WINDOWS_PATH is the same folder as
# setup names it, when that is not the Z: path of PLUGINS.
expectInstalled() {
  local plugins=$1 windowsPath=${2:-$(winpath "$1")} name
  for name in "${SHIPPED[@]}"; do
    cmp -s "$files/$name" "$plugins/$name" || fail "$plugins/$name missing or not the shipped file"
  done
  cmp -s "$texts/THIRD-PARTY-NOTICES.txt" "$plugins/$NOTICES" || fail "$plugins/$NOTICES missing or not the notices"
  [ -f "$plugins/$UNINSTALLER" ] || fail "no uninstaller in $plugins"
  regHas "$OUR_UNINSTALL_KEY" /reg:32 || fail "no Add/Remove Programs entry"
  local command
  command=$(regValue "$OUR_UNINSTALL_KEY" UninstallString)
  [ "$command" = "\"$windowsPath\\$UNINSTALLER\"" ] || fail "UninstallString is '$command'"
  [ -n "$(regValue "$OUR_UNINSTALL_KEY" DisplayName)" ] || fail "no DisplayName"
}

expectRemoved() {
  local plugins=$1 name
  for name in "${SHIPPED[@]}" "$NOTICES" "$UNINSTALLER"; do
    [ ! -e "$plugins/$name" ] || fail "$name left in $plugins"
  done
  [ ! -e "$plugins/layouts" ] || fail "the layouts folder left in $plugins"
  ! regHas "$OUR_UNINSTALL_KEY" /reg:32 || fail "Add/Remove Programs entry left"
}

cleanUp
if [ -e "$standard" ]; then
  echo "the prefix already has $standard; not touching it" >&2
  exit 1
fi
rm -rf "$work"
mkdir -p "$work"

testCase "the player's registry key leads setup to its folder"
player=$work/player
mkdir -p "$player"
regAdd "$PLAYER_KEY" /ve /d "$(winpath "$player")"
runSetup /S || fail "setup exit $?"
expectInstalled "$player/Plugins"
[ ! -e "$player/Plugins/$PANEL" ] || fail "the virtual panel was installed without being chosen"

# The cases after the first run setup and the uninstaller again and again.
# Where this machine runs 32-bit programs only through an emulator each run
# takes a minute or more, so there the first case is the smoke run and these
# are named as not run (PIXELVANE_INSTALLER_CASES=all runs them anyway).
laterSetupCases() {
testCase "installing again replaces the plug-in and keeps plugin.ini"
settings=$'[Pixelvane]\r\nDisable LCD=1\r\nNo Intro=1\r\nTime Remaining=0\r\nLPT Port=632\r\n'
printf '%s' "$settings" > "$player/Plugins/plugin.ini"
cp "$player/Plugins/plugin.ini" "$work/plugin.ini.before"
echo "an older build" > "$player/Plugins/gen_pixelvane.dll"
echo "another plug-in" > "$player/Plugins/gen_other.dll"
runSetup /S || fail "setup exit $?"
expectInstalled "$player/Plugins"
cmp -s "$work/plugin.ini.before" "$player/Plugins/plugin.ini" || fail "plugin.ini changed"

testCase "a running player holding the plug-in stops setup before it writes"
plugins=$player/Plugins
echo "an older build" >> "$plugins/gen_pixelvane.dll"
cp "$plugins/gen_pixelvane.dll" "$work/held.dll"
rm -f "$plugins/LCDAbout.bmp" "$plugins/$GLYPHS" "$work/ready" "$work/release"
wine "$holder" "$(winpath "$plugins/gen_pixelvane.dll")" "$(winpath "$work/ready")" "$(winpath "$work/release")" \
  >/dev/null 2>&1 &
holderPid=$!
for i in $(seq 80); do [ -e "$work/ready" ] && break; sleep 0.25; done
if [ -e "$work/ready" ]; then
  runSetup /S
  status=$?
  [ "$status" -eq 3 ] || fail "setup exit $status while the plug-in is loaded, expected 3"
  cmp -s "$work/held.dll" "$plugins/gen_pixelvane.dll" || fail "the loaded DLL changed"
  [ ! -e "$plugins/LCDAbout.bmp" ] || fail "setup copied pictures all the same"
  [ ! -e "$plugins/$GLYPHS" ] || fail "setup copied the glyph file all the same"
else
  fail "the stand-in player did not load the plug-in"
fi
touch "$work/release"
wait "$holderPid" || fail "the stand-in player failed"
runSetup /S || fail "setup exit $? once the player let go"
expectInstalled "$plugins"
cmp -s "$work/plugin.ini.before" "$plugins/plugin.ini" || fail "plugin.ini changed"

testCase "the uninstaller removes what setup installed and leaves plugin.ini"
runUninstaller "$player/Plugins"
expectRemoved "$player/Plugins"
cmp -s "$work/plugin.ini.before" "$player/Plugins/plugin.ini" || fail "plugin.ini changed or gone"
[ -f "$player/Plugins/gen_other.dll" ] || fail "another plug-in's file was removed"
regDelete "$PLAYER_KEY"

testCase "a reinstall keeps the user's pictures, replaces the shipped ones and says which"
# LCDSIntro.bmp: the shipped picture with one pixel changed (same size);
# LCDAbout.bmp: another shipped picture copied over it (the user's choice);
# LCDMMenu.bmp: as shipped; LCDLIntro.bmp: gone.
own=$work/own-pictures
mkdir -p "$own"
runSetup /S "/D=$(winpath "$own")" || fail "setup exit $?"
plugins=$own/Plugins
cp "$files/LCDSIntro.bmp" "$work/my-settings-picture.bmp"
byte=$(od -An -tu1 -j 100 -N 1 "$work/my-settings-picture.bmp" | tr -d ' ')
printf "\\$(printf %03o $((255 - byte)))" | dd of="$work/my-settings-picture.bmp" bs=1 seek=100 conv=notrunc status=none
cmp -s "$work/my-settings-picture.bmp" "$files/LCDSIntro.bmp" && fail "the changed picture is not changed"
cp "$work/my-settings-picture.bmp" "$plugins/LCDSIntro.bmp"
cp "$files/LCDMMenu.bmp" "$plugins/LCDAbout.bmp"
rm "$plugins/LCDLIntro.bmp"
cp "$work/plugin.ini.before" "$plugins/plugin.ini"
# A glyph file damaged since (cut short): setup puts the shipped one back.
head -c 1000 "$files/$GLYPHS" > "$plugins/$GLYPHS"
runSetup /S "/LOG=$(winpath "$work/reinstall.log")" "/D=$(winpath "$own")" || fail "setup exit $?"
cmp -s "$work/my-settings-picture.bmp" "$plugins/LCDSIntro.bmp" || fail "the changed LCDSIntro.bmp was overwritten"
cmp -s "$files/LCDMMenu.bmp" "$plugins/LCDAbout.bmp" || fail "the user's LCDAbout.bmp was overwritten"
for name in LCDLIntro.bmp LCDMMenu.bmp gen_pixelvane.dll "$GLYPHS"; do
  cmp -s "$files/$name" "$plugins/$name" || fail "$name missing or not the shipped file"
done
expectedLog=$'Installed LCDLIntro.bmp\r
Replaced LCDMMenu.bmp: it was a picture Pixelvane shipped\r
Kept LCDSIntro.bmp: it is not a picture Pixelvane shipped, so it is yours\r
Kept LCDAbout.bmp: it is not a picture Pixelvane shipped, so it is yours\r'
[ "$(cat "$work/reinstall.log" 2>/dev/null)" = "$expectedLog" ] || fail "setup's log: $(cat "$work/reinstall.log" 2>/dev/null)"

testCase "the uninstaller removes the plug-in and unchanged pictures, and keeps plugin.ini and the user's"
printf '[artist]\r\nBox=0,0,240,14\r\n' > "$plugins/layouts/mine.ini"
runUninstaller "$plugins" "/LOG=$(winpath "$work/uninstall.log")"
for name in gen_pixelvane.dll "$GLYPHS" LCDLIntro.bmp LCDMMenu.bmp "${LAYOUTS[@]}" "$NOTICES" "$UNINSTALLER"; do
  [ ! -e "$plugins/$name" ] || fail "$name left in $plugins"
done
[ -f "$plugins/layouts/mine.ini" ] || fail "the user's own layout was removed"
cmp -s "$work/my-settings-picture.bmp" "$plugins/LCDSIntro.bmp" || fail "the changed LCDSIntro.bmp was removed"
cmp -s "$files/LCDMMenu.bmp" "$plugins/LCDAbout.bmp" || fail "the user's LCDAbout.bmp was removed"
cmp -s "$work/plugin.ini.before" "$plugins/plugin.ini" || fail "plugin.ini changed or gone"
! regHas "$OUR_UNINSTALL_KEY" /reg:32 || fail "Add/Remove Programs entry left"
expectedLog=$'Removed LCDLIntro.bmp\r
Removed LCDMMenu.bmp\r
Kept LCDSIntro.bmp: it is not as Pixelvane shipped it, so it is yours\r
Kept LCDAbout.bmp: it is not as Pixelvane shipped it, so it is yours\r'
[ "$(cat "$work/uninstall.log" 2>/dev/null)" = "$expectedLog" ] || fail "the uninstaller's log: $(cat "$work/uninstall.log" 2>/dev/null)"

testCase "the virtual panel is installed only when chosen, and uninstalled with the plug-in"
chosenPanel=$work/with-panel
mkdir -p "$chosenPanel"
runSetup /S /PANEL "/D=$(winpath "$chosenPanel")" || fail "setup /PANEL exit $?"
expectInstalled "$chosenPanel/Plugins"
cmp -s "$panel" "$chosenPanel/Plugins/$PANEL" || fail "$PANEL missing or not the shipped file"
printf '[Virtual panel]\r\nScale=4\r\n' > "$chosenPanel/Plugins/pixelvane-panel.ini"
runUninstaller "$chosenPanel/Plugins"
expectRemoved "$chosenPanel/Plugins"
[ ! -e "$chosenPanel/Plugins/$PANEL" ] || fail "$PANEL left after uninstalling"
[ -f "$chosenPanel/Plugins/pixelvane-panel.ini" ] || fail "the panel's settings were removed"

testCase "the player's Add/Remove Programs entry leads setup to its folder"
spaced="$work/Media Player"
mkdir -p "$spaced"
regAdd "$PLAYER_UNINSTALL_KEY" /v UninstallString /d "\"$(winpath "$spaced")\\UninstWA.exe\" /S" /reg:32
runSetup /S || fail "setup exit $?"
expectInstalled "$spaced/Plugins"
runUninstaller "$spaced/Plugins"
expectRemoved "$spaced/Plugins"
regDelete "$PLAYER_UNINSTALL_KEY" /reg:32

testCase "the standard folder under Program Files is used when no key names one"
mkdir -p "$standard"
touch "$standard/$STANDARD_MARK"
runSetup /S || fail "setup exit $?"
expectInstalled "$standard/Plugins" 'C:\Program Files (x86)\Winamp\Plugins'
runUninstaller "$standard/Plugins"
expectRemoved "$standard/Plugins"
rm -rf "$standard"

testCase "/D= on the command line names the folder, over the player's key"
chosen=$work/chosen
mkdir -p "$chosen"
regAdd "$PLAYER_KEY" /ve /d "$(winpath "$player")"
runSetup /S "/D=$(winpath "$chosen")" || fail "setup exit $?"
expectInstalled "$chosen/Plugins"
[ ! -e "$player/Plugins/gen_pixelvane.dll" ] || fail "setup also installed into the key's folder"
runUninstaller "$chosen/Plugins"
expectRemoved "$chosen/Plugins"
runSetup /S "/D=$(winpath "$work/missing")"
status=$?
[ "$status" -eq 2 ] || fail "setup with /D= naming a missing folder: exit $status, expected 2"
[ ! -e "$work/missing" ] || fail "setup made the missing folder"
[ ! -e "$player/Plugins/gen_pixelvane.dll" ] || fail "setup fell back to the key's folder"
regDelete "$PLAYER_KEY"

testCase "a silent install with no player folder stops and writes nothing"
# Once with no key at all, once with a key naming a folder that is gone.
(cd "$work" && find . | sort) > "$work/before.txt"
for key in none stale; do
  [ "$key" = none ] || regAdd "$PLAYER_KEY" /ve /d "$(winpath "$work/no such folder")"
  runSetup /S
  status=$?
  [ "$status" -eq 2 ] || fail "setup exit $status with $key key, expected 2"
  (cd "$work" && find . | sort | grep -v '^./after.txt$') > "$work/after.txt"
  grep -v '^./after.txt$' "$work/before.txt" | cmp -s - "$work/after.txt" || fail "files appeared in $work"
  # Whatever a faulty setup made there goes again, or later runs would stop.
  for folder in "$standard" "$WINEPREFIX/drive_c/Program Files/Winamp"; do
    [ ! -e "$folder" ] || { fail "setup made $folder"; rm -rf "$folder"; }
  done
  ! regHas "$OUR_UNINSTALL_KEY" /reg:32 || fail "an Add/Remove Programs entry was written"
done
regDelete "$PLAYER_KEY"
}

if [ "$PIXELVANE_X86_32" = native ] || [ "${PIXELVANE_INSTALLER_CASES:-}" = all ]; then
  laterSetupCases
else
  sed -n '/^laterSetupCases() {/,/^}/s/^testCase "\(.*\)"$/not run (32-bit programs only through an emulator here): \1/p' "$0"
fi

testCase "the release zip holds the plug-in, its glyph file, the pictures, the layouts, the virtual panel, the tools and the texts"
release=$(basename "$zip" .zip)
ZIP_TEXTS=(INSTALL.txt WIRING.txt PANEL.txt THIRD-PARTY-NOTICES.txt LICENSE)
expected=$(printf "$release/%s\n" "${SHIPPED[@]}" "$PANEL" pixelvane-picture.exe pixelvane-setup.exe \
  "${ZIP_TEXTS[@]}" | sort)
listed=$(cmake -E tar tf "$zip" | grep -v '/$' | sort)
[ "$listed" = "$expected" ] || fail "zip holds: $(echo $listed)"
rm -rf "$work/unzipped"
mkdir -p "$work/unzipped"
(cd "$work/unzipped" && cmake -E tar xf "$zip") || fail "cannot unpack the zip"
for name in "${SHIPPED[@]}"; do
  cmp -s "$files/$name" "$work/unzipped/$release/$name" || fail "$name in the zip differs"
done
cmp -s "$converter" "$work/unzipped/$release/pixelvane-picture.exe" || fail "converter in the zip differs"
[ "${#LAYOUTS[@]}" -ge 3 ] || fail "only ${#LAYOUTS[@]} layouts in the source's layouts/"
for name in "${LAYOUTS[@]}"; do
  # Windows' line ends, and otherwise the source's file byte for byte.
  tr -d '\r' < "$files/$name" | cmp -s - "$sources/$name" || fail "$name as shipped is not the source's file"
  lines=$(wc -l < "$files/$name")
  [ "$lines" -gt 3 ] && [ "$(grep -c $'\r$' "$files/$name")" -eq "$lines" ] || fail "$name: not every line ends in CRLF"
done
cmp -s "$panel" "$work/unzipped/$release/$PANEL" || fail "$PANEL in the zip differs"
cmp -s "$setup" "$work/unzipped/$release/pixelvane-setup.exe" || fail "setup in the zip differs"
for name in "${ZIP_TEXTS[@]}"; do
  cmp -s "$texts/$name" "$work/unzipped/$release/$name" || fail "$name in the zip differs"
  lines=$(wc -l < "$texts/$name")
  crlf=$(grep -c $'\r$' "$texts/$name")
  [ "$lines" -gt 10 ] && [ "$lines" -eq "$crlf" ] || fail "$name: $crlf of $lines lines end in CRLF"
  ! grep -q '@[A-Z_]*@' "$texts/$name" || fail "$name has an unfilled @VARIABLE@"
done

testCase "the plug-in and the converter ship stripped, with the code and data of the files as linked"
# The files in symbols/ are the ones a crash address is looked up in: every
# section the loader maps must be the same, at the same address, byte for byte.
objdump=i686-w64-mingw32-objdump
loadedSections() { "$objdump" -h "$1" | awk '/^ *[0-9]+ / { name = $2; size = $3; vma = $4; getline
  if ($0 ~ /ALLOC/) print name, size, vma }'; }
for name in gen_pixelvane.dll pixelvane-picture.exe; do
  shipped=$files/$name linked=$files/symbols/$name
  [ -f "$linked" ] || { fail "no $linked"; continue; }
  ! "$objdump" -h "$shipped" | grep -q '\.debug_' || fail "$name ships with debug sections"
  "$objdump" -h "$linked" | grep -q '\.debug_' || fail "symbols/$name has no debug sections"
  [ "$(stat -c %s "$shipped")" -lt "$(stat -c %s "$linked")" ] || fail "$name is not smaller stripped"
  sections=$(loadedSections "$shipped")
  [ -n "$sections" ] && [ "$sections" = "$(loadedSections "$linked")" ] || fail "$name: loaded sections differ"
  only=$(echo "$sections" | awk '{ printf " -j %s", $1 }')
  # shellcheck disable=SC2086
  [ "$("$objdump" -s $only "$shipped" | tail -n +3)" = "$("$objdump" -s $only "$linked" | tail -n +3)" ] ||
    fail "$name: section contents differ from the linked file"
done

testCase "the notices name, for each program, exactly the code from others it carries"
# The table at the top of THIRD-PARTY-NOTICES.txt gives a line (and its
# continuation lines) for each program; what a program carries is read from
# the file as linked, in symbols/: its symbols and the source names in its
# debug information.
noticesEntry() {
  tr -d '\r' < "$texts/THIRD-PARTY-NOTICES.txt" | awk -v name="$1" '
    /^Which file carries what$/ { table = 1; next }
    table && /^[^ ]/ { exit }
    table && /^  [^ ]/ { current = $1; $1 = "" }
    table && current == name { printf "%s ", $0 }'
}
carried() {
  local linked=$1 symbols demangled text
  symbols=$(i686-w64-mingw32-nm "$linked" 2>/dev/null)
  demangled=$(i686-w64-mingw32-nm -C "$linked" 2>/dev/null)
  text=$(strings -a "$linked")
  grep -q 'mingw-w64-crt/' <<<"$text" && echo "MinGW-w64 runtime"
  grep -q 'mingw-w64-libraries/winpthreads/' <<<"$text" && echo winpthreads
  grep -Eq ' ___(chkstk_ms|u?divdi3)$' <<<"$symbols" && echo libgcc
  grep -q ' std::' <<<"$demangled" && echo 'libstdc++'
  grep -q ' _DGif' <<<"$symbols" && echo giflib
  grep -q 'stbi__' <<<"$symbols" && echo stb_image
  grep -Eq ' _FONT_(ROW|DIGITS|TIME|SMALL)$' <<<"$symbols" && echo "X11 fonts"
}
pluginCarries=$(carried "$files/symbols/gen_pixelvane.dll")
grep -qxF "MinGW-w64 runtime" <<<"$pluginCarries" && grep -qxF libgcc <<<"$pluginCarries" ||
  fail "the plug-in as linked shows no MinGW-w64 runtime or libgcc: the checks below see nothing"
for name in gen_pixelvane.dll "$PANEL" pixelvane-picture.exe; do
  linked=$files/symbols/$name
  [ -f "$linked" ] || { fail "no $linked"; continue; }
  entry=$(noticesEntry "$name")
  [ -n "$entry" ] || { fail "the notices have no line for $name"; continue; }
  has=$(carried "$linked")
  for component in "MinGW-w64 runtime" winpthreads libgcc 'libstdc++' giflib stb_image; do
    inFile=no inNotices=no
    grep -qxF "$component" <<<"$has" && inFile=yes
    [[ "$entry" == *"$component"* ]] && inNotices=yes
    [ "$inFile" = "$inNotices" ] || fail "$name: carries $component: $inFile, the notices say: $inNotices"
  done
  # The graphic screen's font tables (graphic/fonts.txt): a file that links
  # them must name the fonts. The plug-in's line names them before the
  # graphic screen links them, so only this way round is checked.
  if grep -qxF "X11 fonts" <<<"$has" && [[ "$entry" != *"X11 fonts"* ]]; then
    fail "$name: carries the X11 fonts' glyphs, the notices do not say so"
  fi
done
[[ "$(noticesEntry pixelvane-setup.exe)" == *NSIS* ]] || fail "the notices do not name NSIS for pixelvane-setup.exe"
# The glyph file carries efont-unicode's f14 (graphic/glyph_file.txt), and
# is the file the zip and setup ship.
[[ "$(noticesEntry "$GLYPHS")" == *"efont-unicode's f14"* ]] || fail "the notices do not name f14 for $GLYPHS"
[ "$(head -c 8 "$files/$GLYPHS")" = PVGLYPHS ] || fail "$GLYPHS in the release is no glyph file"
# Every program in the zip has its line.
for name in $(cmake -E tar tf "$zip" | sed -n 's|.*/\([^/]*\.\(dll\|exe\)\)$|\1|p'); do
  [ -n "$(noticesEntry "$name")" ] || fail "the notices have no line for $name, which the zip holds"
done

testCase "WIRING.txt connects the same pins to the same lines as the bus driver"
# Each row that starts with a port pin (or a range) and names a module line
# gives pin/line pairs; a range of data pins counts up the data lines.
wiringPairs() {
  awk '{
    sub(/\r$/, ""); sub(/^\/\/ ?/, "")
    if ($0 !~ /^[ \t]+[0-9]+(-[0-9]+)?[ \t]/) next
    pins = $1; line = ""
    for (i = 2; i <= NF; i++)
      if ($i ~ /^(D[0-7](-D[0-7])?|\/WR|\/CE|C\/D|\/RD|GND)$/) line = $i
    if (line == "") next
    n = split(pins, p, "-"); first = p[1] + 0; last = (n > 1 ? p[2] : p[1]) + 0
    for (k = first; k <= last; k++)
      if (line ~ /^D[0-7]-D[0-7]$/) print k, "D" (substr(line, 2, 1) + k - first)
      else print k, line
  }' | sort -n
}
busPairs=$(sed -n '/^\/\//!q;p' "$bus" | wiringPairs)
textPairs=$(wiringPairs < "$texts/WIRING.txt")
[ "$(echo "$busPairs" | grep -c .)" -eq 20 ] || fail "the bus driver's diagram gives $(echo $busPairs)"
[ "$textPairs" = "$busPairs" ] || fail "WIRING.txt gives $(echo $textPairs), the bus driver $(echo $busPairs)"

cleanUp
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all installer checks passed"
