#!/bin/sh
# Layer II decoding cost: instructions per second of audio for the phrasebook's decoder
# (build/bin/mpegdec), mpg123 and ffmpeg on a 60 s twolame clip (44.1 kHz stereo, 192 kbit/s).
#
# Instructions are counted with valgrind (callgrind); start-up costs are removed by also
# decoding the first 5 s of the same clip and taking the difference. Prints each decoder's
# figure and the ratios; exits 1 when the phrasebook's decoder needs more than ffmpeg.
#
# Usage: bench/mpeg/layer2.sh [BUILD_DIR]   (default: build; run from the repository root)
set -eu

build=${1:-build}
mpegdec="$build/bin/mpegdec"
for tool in valgrind twolame sox mpg123 ffmpeg; do
    command -v "$tool" >/dev/null || { echo "layer2.sh: $tool is missing" >&2; exit 2; }
done
[ -x "$mpegdec" ] || { echo "layer2.sh: build $mpegdec first (cmake --build $build --target mpegdec)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A music-like test signal: two chords of sines, a slow sweep and quiet pink noise, different
# in the two channels.
sox -n -r 44100 -c 2 -b 16 "$work/clip.wav" synth 60 \
    sine 220 sine 330 sine 440 sine 1320 sine 100-8000 pinknoise remix 1,2,3,6 4,5,6 \
    gain -n -3 2>/dev/null
sox "$work/clip.wav" "$work/short.wav" trim 0 5
twolame --quiet -m s -b 192 "$work/clip.wav" "$work/long.mp2"
twolame --quiet -m s -b 192 "$work/short.wav" "$work/short.mp2"

# Instructions of one command under callgrind.
count() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
        sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' | tail -n 1
}

# Instructions per second of audio for a decoder given as a command with IN standing for the
# input file.
per_second() {
    long=$(count $(echo "$@" | sed "s|IN|$work/long.mp2|"))
    short=$(count $(echo "$@" | sed "s|IN|$work/short.mp2|"))
    echo $(( (long - short) / 55 ))
}

ours=$(per_second "$mpegdec" IN /dev/null)
mpg=$(per_second mpg123 -q -s IN)
ff=$(per_second ffmpeg -nostdin -v quiet -threads 1 -i IN -f s16le -)

echo "Layer II, 44.1 kHz stereo 192 kbit/s, instructions per audio second:"
printf '  %-10s %12d\n' phrasebook "$ours" mpg123 "$mpg" ffmpeg "$ff"
awk -v o="$ours" -v m="$mpg" -v f="$ff" 'BEGIN {
    printf "  phrasebook / mpg123 = %.2f\n", o / m
    printf "  phrasebook / ffmpeg = %.2f (target: below 1)\n", o / f
}'
[ "$ours" -lt "$ff" ]
