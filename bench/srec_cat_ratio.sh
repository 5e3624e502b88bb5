#!/bin/sh
# Times `kvprog-cli convert` beside srec_cat converting the same 16 MiB image
# from Intel HEX and from S-records to binary (best of 3 runs each).
# Usage: bench/srec_cat_ratio.sh [path/to/kvprog-cli]
set -eu
CLI=${1:-build/bin/kvprog-cli}
command -v srec_cat > /dev/null || { echo "srec_cat is not installed" >&2; exit 1; }
[ -x "$CLI" ] || { echo "no $CLI: build it first" >&2; exit 1; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
head -c 16777216 /dev/urandom > "$dir/image.bin"
srec_cat "$dir/image.bin" -binary -o "$dir/image.hex" -intel
srec_cat "$dir/image.bin" -binary -o "$dir/image.s37" -motorola -address-length=4

best_ms() { # command...: the fastest of three runs, in milliseconds
  best=
  for _ in 1 2 3; do
    start=$(date +%s%N)
    "$@" > /dev/null 2>&1
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}

for input in image.hex:-intel image.s37:-motorola; do
  file=${input%%:*}
  format=${input#*:}
  ours=$(best_ms "$CLI" convert -i "$dir/$file" -o "$dir/ours.bin")
  tool=$(best_ms srec_cat "$dir/$file" "$format" -o "$dir/tool.bin" -binary)
  cmp -s "$dir/ours.bin" "$dir/image.bin" || { echo "$file: our output differs" >&2; exit 1; }
  awk -v f="$file" -v o="$ours" -v t="$tool" \
    'BEGIN { printf "%s -> binary, 16 MiB: kvprog-cli %d ms, srec_cat %d ms, %.1fx faster\n", f, o, t, t / (o > 0 ? o : 1) }'
done
