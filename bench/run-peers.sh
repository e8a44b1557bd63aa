#!/usr/bin/env bash
# Times our quillon-cli rows beside the peers in one run of the shared peer script.
#   bash bench/run-peers.sh [path/to/quillon-cli]
# Build a Release quillon-cli first, e.g.
#   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release && ninja -C build-release quillon-cli
# BENCH_ONLY defaults to the groups our effects meet; set it to '' for everything.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
CLI=$(realpath "${1:-$HERE/../build-release/cli/quillon-cli}")
PEERS=${PEERS:-$HERE/../../shared/bench/peers.sh}
CASES=$(mktemp)
trap 'rm -f "$CASES"' EXIT
sed "s|@CLI@|$CLI|g" "$HERE/peer-cases.txt" > "$CASES"
BENCH_CASES=$CASES BENCH_ONLY=${BENCH_ONLY-'^(startup|bmp-read|jpeg-dec|jpeg-dec-prog|gif-dec|gif-rt|quant256|resize|rotate7|blur2|unsharp2|sharpen3x3)$'} bash "$PEERS"
