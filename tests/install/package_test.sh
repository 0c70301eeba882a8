#!/usr/bin/env bash
# Builds the Debian package and inspects it: its control data, its contents,
# and the programs run from the unpacked package.
set -uo pipefail
build=${1:?build folder}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/out/brevix_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { echo "FAIL: no package"; exit 1; }

info=$(dpkg-deb --info "$deb")
echo "$info" | grep -E '^ (Package|Version|Depends):'
echo "$info" | grep -q '^ Package: brevix$' || fail "package name"
depends=$(echo "$info" | sed -n 's/^ Depends: //p')
for d in libtcl8.6 qt6-qpa-plugins libqt6widgets6 libx11-6 libxtst6; do
  echo "$depends" | grep -q "$d" || fail "Depends lacks $d"
done

contents=$(dpkg-deb --contents "$deb")
for f in ./usr/bin/brevix ./usr/bin/bxdict /brevix/libbxhook.so ./usr/share/brevix/Brevixo.tcl \
         ./usr/share/applications/org.brevix.Brevix.desktop ./usr/share/man/man1/brevix.1 \
         ./usr/share/icons/hicolor/256x256/apps/org.brevix.Brevix.png; do
  echo "$contents" | grep -qF "$f" || fail "package lacks $f"
done
# Nothing of the build, the tests or the user's configuration is packaged.
echo "$contents" | grep -E 'test|bench|\.config|/root/' && fail "stray files in the package"

# Unpacked in a temporary root, the programs run from there.
dpkg-deb -x "$deb" "$work/root"
out=$(env -u DISPLAY "$work/root/usr/bin/brevix" --version 2>&1) || fail "brevix --version exits $?"
[ "$out" = "Brevix 10.00" ] || fail "unpacked brevix --version printed: $out"
"$work/root/usr/bin/bxdict" --help >/dev/null || fail "unpacked bxdict --help"

[ $fails -eq 0 ] && echo "package: $(basename "$deb") inspected and run" && exit 0
exit 1
