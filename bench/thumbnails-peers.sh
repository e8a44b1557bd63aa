#!/usr/bin/env bash
# Thumbnails of a folder of 200 JPEG files of 1600 x 1200, ours beside the peers in one run.
#   bash bench/thumbnails-peers.sh [path/to/quillon-cli] [runs]
# Every tool writes PNG thumbnails that fit 128 x 96 into a folder of its own. "cold" starts
# from an empty thumbnail cache, "warm" from the cache the run before filled.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
CLI=$(realpath "${1:-$HERE/../build/cli/quillon-cli}")
RUNS=${2:-5}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
IN=$WORK/in
mkdir -p "$IN"

# Four different photographs-like pictures, each copied 50 times.
for i in 0 1 2 3; do
  convert -size 1600x1200 -seed $i plasma:fractal -blur 0x1 -quality 90 "$WORK/src$i.jpg"
done
for n in $(seq 0 199); do cp "$WORK/src$((n % 4)).jpg" "$IN/photo$(printf %03d "$n").jpg"; done
echo "inputs: $(ls "$IN" | wc -l) files, $(du -sh "$IN" | cut -f1)"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"

hyperfine -N -w 1 -r "$RUNS" --export-markdown "$WORK/table.md" \
  --prepare "rm -rf $WORK/out $WORK/cache; mkdir -p $WORK/out" \
  -n "quillon-cli thumbnails (cold cache)" \
  "env XDG_CACHE_HOME=$WORK/cache $CLI thumbnails $IN $WORK/out --box 128x96" \
  -n "gm mogrify -size -thumbnail" \
  "gm mogrify -output-directory $WORK/out -format png -size 256x192 -thumbnail 128x96 $IN/*.jpg" \
  -n "vipsthumbnail" \
  "vipsthumbnail -s 128x96 -o $WORK/out/%s.png $IN/*.jpg" >/dev/null

# The warm cache: filled once, then every run reads it.
rm -rf "$WORK/cache"; mkdir -p "$WORK/out"
XDG_CACHE_HOME=$WORK/cache "$CLI" thumbnails "$IN" "$WORK/out" --box 128x96 2>/dev/null
hyperfine -N -w 1 -r "$RUNS" --export-markdown "$WORK/warm.md" \
  --prepare "rm -rf $WORK/out; mkdir -p $WORK/out" \
  -n "quillon-cli thumbnails (warm cache)" \
  "env XDG_CACHE_HOME=$WORK/cache $CLI thumbnails $IN $WORK/out --box 128x96" >/dev/null
cat "$WORK/table.md"; tail -n +3 "$WORK/warm.md"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
