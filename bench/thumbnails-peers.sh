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
FILES=$(echo "$IN"/*.jpg)  # hyperfine runs the commands without a shell
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"

# Without a shell (-N) the preparations are scripts of their own.
printf 'rm -rf %s/out %s/cache; mkdir -p %s/out\n' "$WORK" "$WORK" "$WORK" > "$WORK/cold.sh"
printf 'rm -rf %s/out; mkdir -p %s/out\n' "$WORK" "$WORK" > "$WORK/fresh.sh"
hyperfine -N -w 1 -r "$RUNS" --export-json "$WORK/cold.json" \
  --prepare "bash $WORK/cold.sh" \
  -n "quillon-cli thumbnails (cold cache)" \
  "env XDG_CACHE_HOME=$WORK/cache $CLI thumbnails $IN $WORK/out --box 128x96" \
  -n "gm mogrify -size -thumbnail" \
  "gm mogrify -create-directories -output-directory $WORK/out -format png -size 256x192 -thumbnail 128x96 $FILES" \
  -n "vipsthumbnail" \
  "vipsthumbnail -s 128x96 -o $WORK/out/%s.png $FILES" >/dev/null

# The warm cache: filled once, then every run reads it.
rm -rf "$WORK/cache"; mkdir -p "$WORK/out"
XDG_CACHE_HOME=$WORK/cache "$CLI" thumbnails "$IN" "$WORK/out" --box 128x96 2>/dev/null
hyperfine -N -w 1 -r "$RUNS" --export-json "$WORK/warm.json" \
  --prepare "bash $WORK/fresh.sh" \
  -n "quillon-cli thumbnails (warm cache)" \
  "env XDG_CACHE_HOME=$WORK/cache $CLI thumbnails $IN $WORK/out --box 128x96" >/dev/null
# Wall times suffer most from a busy machine; user + system CPU time says what each tool costs.
python3 - "$WORK/cold.json" "$WORK/warm.json" <<'PY'
import json, sys
print("| Command | Wall, mean (min) | CPU user + system, mean |")
print("|---|---|---|")
for path in sys.argv[1:]:
    for r in json.load(open(path))["results"]:
        print(f"| {r['command']} | {r['mean']:.3f} s ({r['min']:.3f} s) | {r['user'] + r['system']:.3f} s |")
PY
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
