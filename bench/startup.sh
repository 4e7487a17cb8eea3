#!/usr/bin/env bash
# Start-up figures: velmora from launch to its first painted main window (Qt's
# offscreen platform), and velmora-calc det as a whole process. Prints the
# median and the slowest of RUNS launches. Usage: bench/startup.sh [BUILD] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-30}
measure() {
    local label=$1
    shift
    local times=()
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s%N)
        times+=($(( (end - start) / 1000 )))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk -v label="$label" '
        { t[NR] = $1 } END { printf "%-45s median %8.2f ms   slowest %8.2f ms\n", label, t[int((NR + 1) / 2)] / 1000, t[NR] / 1000 }'
}
measure "velmora to its first painted window" \
    env QT_QPA_PLATFORM=offscreen VELMORA_END_AFTER_FIRST_PAINT=1 "$build/velmora"
measure "velmora-calc det \"[1 2; 3 4]\"" "$build/velmora-calc" det "[1 2; 3 4]"
