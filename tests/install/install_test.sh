#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user gets:
# every file in place, valid desktop and AppStream files, man pages that
# render, and programs that run from the prefix without a display.
set -uo pipefail
build=${1:?build folder}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
libdir=$(cd "$prefix" && ls -d lib*/brevix lib/*/brevix 2>/dev/null | head -1)
[ -n "$libdir" ] || fail "no private library folder"

id=org.brevix.Brevix
for f in bin/brevix bin/bxdict bin/bxconvert "$libdir/libbxhook.so" share/brevix/Brevixo.tcl \
         share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg share/man/man1/brevix.1 share/man/man1/bxdict.1 share/man/man1/bxconvert.1 \
         share/doc/brevix/html/index.html share/doc/brevix/html/tags.html; do
  [ -e "$prefix/$f" ] || fail "missing $f"
done
for n in 16 22 24 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${n}x${n}/apps/$id.png"
  if [ ! -s "$png" ]; then fail "missing ${n}px icon"; continue; fi
  # The PNG header holds the width and height at bytes 16 to 23.
  size=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$size" = "${n}x${n}" ] || fail "${n}px icon is $size"
done

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop file"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "metainfo file"

# The installed programs run from the prefix alone, without a display.
out=$(env -u DISPLAY LD_LIBRARY_PATH= "$prefix/bin/brevix" --version 2>&1) || fail "brevix --version exits $?"
[ "$out" = "Brevix 10.00" ] || fail "brevix --version printed: $out"
env -u DISPLAY "$prefix/bin/brevix" --help | grep -q '/CFG=FOLDER' || fail "brevix --help"
"$prefix/bin/bxdict" --help | grep -q '^Usage: bxdict' || fail "bxdict --help"
"$prefix/bin/bxdict" --help | grep -q 'import --from FORMAT' || fail "bxdict --help: import"
hook=$(ldd "$prefix/bin/brevix" | sed -n 's/.*libbxhook.so => \(.*\) (.*/\1/p')
[ -n "$hook" ] && [ "$(readlink -f "$hook")" = "$(readlink -f "$prefix/$libdir/libbxhook.so")" ] ||
  fail "brevix does not find the installed hook library: $hook"

for page in brevix bxdict bxconvert; do
  warnings=$(MANWIDTH=80 man --warnings=w -l "$prefix/share/man/man1/$page.1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
  [ "$page" != bxconvert ] || continue # a window: no exit status to tell
  MANWIDTH=80 man -l "$prefix/share/man/man1/$page.1" 2>/dev/null | grep -q "EXIT STATUS" ||
    fail "$page.1 does not render"
done

[ $fails -eq 0 ] && echo "install: every file in place and working" && exit 0
exit 1
