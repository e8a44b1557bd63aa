#!/usr/bin/env bash
# ImageMagick beside codecs_bench on the same 2000 x 1500 files: run
#   CODEC_BENCH_FILES=/dev/shm/codec-bench build-bench/bench/codecs_bench --benchmark_filter=write
# first (it leaves one file a format there), then this script.
# Reads: IM decodes the file to nothing; writes: IM encodes the same picture from a PPM in memory.
set -eu
DIR=${1:-/dev/shm/codec-bench}
IM=/usr/bin/convert
best() {  # best of 3 wall-clock runs, in milliseconds
    local best=999999
    for _ in 1 2 3; do
        local t0=$(date +%s%N); "$@" >/dev/null 2>&1 || return 1; local t1=$(date +%s%N)
        local ms=$(( (t1 - t0) / 1000000 )); (( ms < best )) && best=$ms
    done
    echo $best
}
$IM "$DIR/bench.TGA" "$DIR/photo.ppm"
$IM "$DIR/photo.ppm" -monochrome "$DIR/photo.pbm"
echo "format | IM read ms | IM write ms"
for f in PCX:pcx TGA:tga RAS:sun PSD:psd PCT:pict WMF:wmf WPG:wpg CAL:cals EPS:eps2 MAC:mac; do
    ext=${f%%:*}; coder=${f##*:}
    r=$(best $IM "$coder:$DIR/bench.$ext" null: || echo -)
    [[ $ext == EPS ]] && r=-   # the IM policy forbids reading PostScript
    src=$DIR/photo.ppm; [[ $ext == CAL || $ext == MAC ]] && src=$DIR/photo.pbm
    w=$(best $IM "$src" "$coder:$DIR/im.$ext" || echo -)
    [[ $ext == WMF || $ext == WPG || $ext == MAC ]] && w=-  # no encoder in IM
    echo "$ext | $r | $w"
done
