#!/usr/bin/env bash
# Decoder benchmark: decodes the same two clips with build/bin/mpegdec, mpg123 and ffmpeg and
# prints wall time, the ratio to mpegdec and, where valgrind is available, instructions per
# second of audio. Never run by ctest.
#
#   bench/mpeg/run.sh [BUILD_DIR]     (default: build)
#
# Clips (made here from sox and espeak-ng, encoded with lame):
#   music:  60 s, 44100 Hz stereo, 128 kbit/s, a music-like signal (plucked chords, noise, reverb)
#   speech: 60 s, 22050 Hz mono, 32 kbit/s, German speech
# Instructions per audio second are measured as (I(60 s clip) - I(5 s clip)) / 55, which removes
# each program's start-up cost.
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD=${1:-build}
MPEGDEC="$PWD/$BUILD/bin/mpegdec"
WORK="$PWD/$BUILD/bench-mpeg"
if [[ ! -x "$MPEGDEC" ]]; then
    echo "run.sh: $MPEGDEC is missing; build the mpegdec target first" >&2
    exit 1
fi
for tool in sox espeak-ng lame; do
    command -v "$tool" >/dev/null || { echo "run.sh: $tool is missing" >&2; exit 1; }
done
mkdir -p "$WORK"
cd "$WORK"

TEXT="Guten Tag. Ich hätte gern eine Fahrkarte nach München, bitte. Wann fährt der nächste Zug? \
Entschuldigung, wo ist der Bahnhof? Können Sie mir bitte helfen? Ich suche ein Hotel in der Nähe. \
Wie viel kostet das Zimmer pro Nacht? Ist das Frühstück inbegriffen? Die Rechnung, bitte. \
Sprechen Sie Englisch? Ich verstehe das nicht. Könnten Sie das bitte wiederholen? \
Wo finde ich eine Apotheke? Ich brauche einen Arzt. Rufen Sie bitte einen Krankenwagen. \
Vielen Dank für Ihre Hilfe. Auf Wiedersehen und einen schönen Abend noch."

make_clips() {
    if [[ ! -f music.wav ]]; then
        sox -n -r 44100 -c 2 -b 16 music.wav synth 0.25 pluck %-24 pluck %-17 pluck %-12 \
            pluck %-8 pluck %-5 pinknoise remix 1,3,5v0.5,6v0.1 2,4,5v0.5,6v0.1 repeat 239 \
            reverb 30 tremolo 3 20 gain -n -3
    fi
    if [[ ! -f speech.wav ]]; then
        espeak-ng -v de -s 150 -w speech-raw.wav "$TEXT"
        # Repeated to 60 s at 22050 Hz, one channel.
        sox speech-raw.wav -r 22050 -c 1 -b 16 speech-once.wav
        sox speech-once.wav speech.wav repeat 40 trim 0 60
    fi
    for name in music speech; do
        [[ -f $name.mp3 ]] && continue
        sox $name.wav ${name}5.wav trim 0 5
        if [[ $name == music ]]; then args="-b 128"; else args="-b 32 -m m"; fi
        lame --quiet -t $args $name.wav $name.mp3
        lame --quiet -t $args ${name}5.wav ${name}5.mp3
    done
}

# The decoders, each as a command taking the input file as $1 (output discarded or to a file).
run_decoder() {
    local decoder=$1 input=$2
    case $decoder in
        mpegdec) "$MPEGDEC" "$input" /dev/null 2>/dev/null ;;
        mpg123) mpg123 -q -s "$input" >/dev/null ;;
        ffmpeg) ffmpeg -v quiet -nostdin -y -i "$input" -f s16le /dev/null ;;
    esac
}

available() {
    case $1 in
        mpegdec) return 0 ;;
        *) command -v "$1" >/dev/null ;;
    esac
}

# Best wall time of five runs, in milliseconds.
wall_ms() {
    local best=""
    for _ in 1 2 3 4 5; do
        local start end
        start=$(date +%s%N)
        run_decoder "$1" "$2"
        end=$(date +%s%N)
        local ms=$(( (end - start) / 1000000 ))
        if [[ -z $best || $ms -lt $best ]]; then best=$ms; fi
    done
    echo "$best"
}

instructions() {
    local decoder=$1 input=$2 cmd
    case $decoder in
        mpegdec) cmd=("$MPEGDEC" "$input" /dev/null) ;;
        mpg123) cmd=(mpg123 -q -s "$input") ;;
        ffmpeg) cmd=(ffmpeg -v quiet -nostdin -y -i "$input" -f s16le /dev/null) ;;
    esac
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "${cmd[@]}" 2>&1 >/dev/null |
        sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

make_clips
have_valgrind=0
command -v valgrind >/dev/null && have_valgrind=1

printf '%-8s %-8s %10s %10s %16s %12s\n' clip decoder "wall ms" "vs mpegdec" "instr/audio s" "vs mpegdec"
for clip in music speech; do
    declare -A wall=() ips=()
    for decoder in mpegdec mpg123 ffmpeg; do
        available $decoder || continue
        wall[$decoder]=$(wall_ms $decoder $clip.mp3)
        if (( have_valgrind )); then
            long=$(instructions $decoder $clip.mp3)
            short=$(instructions $decoder ${clip}5.mp3)
            ips[$decoder]=$(( (long - short) / 55 ))
        fi
    done
    for decoder in mpegdec mpg123 ffmpeg; do
        [[ -n ${wall[$decoder]:-} ]] || { printf '%-8s %-8s %10s\n' $clip $decoder "(not installed)"; continue; }
        ratio=$(awk -v a="${wall[$decoder]}" -v b="${wall[mpegdec]}" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
        if (( have_valgrind )); then
            iratio=$(awk -v a="${ips[$decoder]}" -v b="${ips[mpegdec]}" 'BEGIN { printf "%.2f", a / b }')
            printf '%-8s %-8s %10s %10s %16s %12s\n' $clip $decoder "${wall[$decoder]}" "$ratio" \
                "${ips[$decoder]}" "$iratio"
        else
            printf '%-8s %-8s %10s %10s %16s %12s\n' $clip $decoder "${wall[$decoder]}" "$ratio" - -
        fi
    done
    unset wall ips
done
(( have_valgrind )) || echo "(valgrind not installed: no instruction counts)"
