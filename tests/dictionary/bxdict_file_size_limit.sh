#!/usr/bin/env bash
# bxdict writing over the file-size limit: the signal must not end it; it
# reports "File too large", fails, and leaves no file behind.
set -u
bxdict=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
text=$(head -c 3000 /dev/zero | tr '\0' x)
for i in $(seq 1 40); do
  printf '{"keyword":"k%d","text":"%s"}\n' "$i" "$text"
done >"$dir/in.jsonl"

(ulimit -f 16 && exec "$bxdict" new "$dir/out.bxd" <"$dir/in.jsonl") 2>"$dir/err"
code=$?
if [ "$code" -gt 128 ]; then
  echo "bxdict was ended by signal $((code - 128))"
  exit 1
fi
if [ "$code" -eq 0 ] || ! grep -q "File too large" "$dir/err"; then
  echo "exit $code, stderr: $(cat "$dir/err")"
  exit 1
fi
if [ -n "$(ls "$dir" | grep -v -e '^in.jsonl$' -e '^err$')" ]; then
  echo "left behind: $(ls "$dir")"
  exit 1
fi
echo "refused as expected: $(cat "$dir/err")"
