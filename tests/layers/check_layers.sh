#!/usr/bin/env bash
# The layers hold: no source includes a header of a folder above its own, the
# hook library has no Qt, and only hook/ and platform/ see X11.
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root" || exit 1

rank() {
  case "$1" in
    platform) echo 0 ;; hook) echo 1 ;; dictionary | tags) echo 2 ;;
    typing | tools) echo 3 ;; script) echo 4 ;; shell) echo 5 ;; app) echo 6 ;;
    *) echo -1 ;;
  esac
}

fail=0
while IFS= read -r file; do
  top=${file%%/*}
  own=$(rank "$top")
  [ "$own" -ge 0 ] || continue
  while IFS= read -r dep; do
    theirs=$(rank "$dep")
    if [ "$theirs" -gt "$own" ] || { [ "$top" = hook ] && [ "$dep" != hook ] && [ "$dep" != platform ]; }; then
      echo "$file includes a header of $dep/, a layer above $top/"
      fail=1
    fi
  done < <(sed -n 's|^#include "\([a-z]*\)/.*|\1|p' "$file" | sort -u)
done < <(find app shell script typing tags dictionary hook platform tools -name '*.cpp' -o -name '*.h' | sort)

if grep -rln '#include <Q' hook >/dev/null; then
  echo "the hook library includes Qt:"; grep -rln '#include <Q' hook; fail=1
fi
x11=$(grep -rlE '#include <X11/' app shell script typing tags dictionary tools 2>/dev/null)
if [ -n "$x11" ]; then
  echo "X11 headers outside hook/ and platform/:"; echo "$x11"; fail=1
fi
exit $fail
