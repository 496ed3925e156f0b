#!/usr/bin/env bash
# CPU time per frame of the whole player showing the demo's title, on every back end and depth:
# the headless player runs 60 and then 6060 frames; the difference over 6000 frames leaves the
# start-up out. Each count runs three times and the smallest time counts.
# With a stage file (a name inside the demo, e.g. 'data\stg4\Stage1.stg4_000') the player starts
# that stage instead, so the same figures cover stage play.
# Usage: bench/title-cpu.sh [build folder, default build/release] [stage file]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")
stage=("${@:2}")
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
"$build/tools/make_demo_project" "$folder/demo" >/dev/null
cd "$folder/demo"

cpu() {   # frames -> smallest user+system seconds of three runs
    local best=""
    for _ in 1 2 3; do
        local t
        t=$( { TIMEFORMAT='%U %S'; time "$build/player" --host=headless --frames="$1" "${stage[@]}" >/dev/null 2>&1; } 2>&1 |
             awk '{ print $1 + $2 }')
        if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
    done
    echo "$best"
}

printf '%-6s %12s\n' mode "ms/frame"
# name, Direct3D, depth, window mode (1 a window, 0 full screen)
for mode in "D3D16 1 16 0" "D3D32 1 32 1" "DD8 0 8 0" "DD16 0 16 0" "DD32w 0 32 1" "DD32 0 32 0"; do
    set -- $mode
    printf 'Direct3D=%s\nWindowMode=%s\nBpp=%s\nVSync=0\nShowFps=0\nExit\n' "$2" "$4" "$3" > System.ini
    short=$(cpu 60)
    long=$(cpu 6060)
    awk -v name="$1" -v a="$short" -v b="$long" 'BEGIN { printf "%-6s %12.3f\n", name, (b - a) * 1000 / 6000 }'
done
