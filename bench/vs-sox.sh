#!/usr/bin/env bash
# orv-render against sox on the same signals: each pair timed side by side
# in one run, several rounds, medians and the ratio sox / orv-render.
# Then the peak memory of a 10-minute and a 60-minute render.
#
# Usage: bench/vs-sox.sh [ORV_RENDER] [ROUNDS]
#   ORV_RENDER  the program (default: build/bin/orv-render beside this folder)
#   ROUNDS      rounds per pair (default 5)
# Needs sox and GNU time (apt-get install sox time). The files are written to
# a temporary folder (TMPDIR) and removed; a 10-minute 96 kHz stereo file
# takes 230 MB.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
orv=${1:-${ORV_RENDER:-$here/../build/bin/orv-render}}
rounds=${2:-5}
[[ -x $orv ]] || { echo "vs-sox: no orv-render at $orv (build it, or pass its path)" >&2; exit 1; }
command -v sox >/dev/null || { echo "vs-sox: sox is not installed" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "vs-sox: GNU time (/usr/bin/time) is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Seconds one command takes, its output file removed afterwards.
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    rm -f "$work/out.wav"
    echo "$end - $start" | bc -l
}

median() {
    sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# pair NAME RATE CHANNELS "SOX SYNTH ARGS" "ORV LINE"
pair() {
    local name=$1 rate=$2 channels=$3 synth=$4 line=$5 i
    : >"$work/sox.t"
    : >"$work/orv.t"
    for ((i = 0; i < rounds; i++)); do
        # shellcheck disable=SC2086
        seconds sox -n -r "$rate" -c "$channels" -b 16 "$work/out.wav" synth $synth >>"$work/sox.t"
        seconds "$orv" --quiet --rate "$rate" -e "$line" -o "$work/out.wav" >>"$work/orv.t"
    done
    local s o
    s=$(median <"$work/sox.t")
    o=$(median <"$work/orv.t")
    printf '%-44s sox %7.3f s   orv-render %7.3f s   ratio %5.2f\n' "$name" "$s" "$o" "$(echo "$s / $o" | bc -l)"
}

echo "orv-render against sox, $rounds rounds, medians ($(nproc) cores, $(uname -m))"
pair "(a) 10 min 96000 Hz stereo sine 1000 Hz" 96000 2 "600 sine 1000" "tone 1000 600 0 0 LR 0 0"
pair "(b) 10 min 96000 Hz mono log sweep 20-20k" 96000 1 "600 sine 20/20000" "sweep 20 20000 600 0 0 M 0 LOG 0"
pair "(c) 10 min 48000 Hz mono triangle 1000 Hz" 48000 1 "600 triangle 1000" "tone 1000 600 0 2 M 0 0"

for minutes in 10 60; do
    kb=$(/usr/bin/time -f %M "$orv" --quiet --rate 96000 -e "tone 1000 $((minutes * 60)) 0 0 LR 0 0" \
        -o /dev/null 2>&1 >/dev/null | tail -1)
    printf 'peak memory, %2d min 96000 Hz stereo: %s kB\n' "$minutes" "$kb"
done
