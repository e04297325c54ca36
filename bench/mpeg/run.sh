#!/usr/bin/env bash
# Decoder benchmark: decodes the same clips with build/bin/mpegdec, mpg123 and ffmpeg and
# prints wall time per second of audio (decoding to a WAV file; several interleaved rounds, the
# minimum and the median) and, where valgrind is available, instructions per second of audio,
# each with its ratio to mpegdec (above 1: slower than ours). Never run by ctest.
#
#   bench/mpeg/run.sh [BUILD_DIR [BASELINE_BUILD_DIR]]     (default: build)
#
# BASELINE_BUILD_DIR: a build configured with -DPHRASEBOOK_MPEG_AVX2=OFF, measured as the row
# "mpegdec-base" (the decoder without its AVX2 kernels). ROUNDS (default 7) sets the rounds.
#
# Clips (made here from sox and espeak-ng, encoded with lame):
#   music:  60 s, 44100 Hz stereo, 128 kbit/s, a music-like signal (plucked chords, noise, reverb)
#   speech: 60 s, 22050 Hz mono, 32 kbit/s, German speech
#   layer2: the music signal as MPEG Layer II (twolame), 44100 Hz stereo, 192 kbit/s
# Instructions per audio second are measured as (I(60 s clip) - I(5 s clip)) / 55, which removes
# each program's start-up cost.
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD=${1:-build}
MPEGDEC="$PWD/$BUILD/bin/mpegdec"
BASELINE=""
if [[ -n ${2:-} ]]; then BASELINE="$PWD/$2/bin/mpegdec"; fi
ROUNDS=${ROUNDS:-7}
WORK="$PWD/$BUILD/bench-mpeg"
if [[ ! -x "$MPEGDEC" ]]; then
    echo "run.sh: $MPEGDEC is missing; build the mpegdec target first" >&2
    exit 1
fi
for tool in sox espeak-ng lame twolame; do
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
    if [[ ! -f layer2.mp2 ]]; then
        twolame --quiet -m s -b 192 music.wav layer2.mp2
        twolame --quiet -m s -b 192 music5.wav layer25.mp2
    fi
}

# The clip's file (with 5 as the second argument: its first 5 s).
clip_file() {
    if [[ $1 == layer2 ]]; then echo "$1${2:-}.mp2"; else echo "$1${2:-}.mp3"; fi
}

# The decoders, each decoding the input file $2 into the WAV file $3.
run_decoder() {
    local decoder=$1 input=$2 output=$3
    case $decoder in
        mpegdec) "$MPEGDEC" "$input" "$output" 2>/dev/null ;;
        mpegdec-base) "$BASELINE" "$input" "$output" 2>/dev/null ;;
        mpg123) mpg123 -q -w "$output" "$input" ;;
        ffmpeg) ffmpeg -v quiet -nostdin -y -i "$input" -f wav "$output" ;;
    esac
}

available() {
    case $1 in
        mpegdec) return 0 ;;
        mpegdec-base) [[ -n $BASELINE && -x $BASELINE ]] ;;
        *) command -v "$1" >/dev/null ;;
    esac
}

# Wall time of one run in microseconds.
wall_us() {
    local start end
    start=$(date +%s%N)
    run_decoder "$1" "$2" "$WORK/out-$1.wav"
    end=$(date +%s%N)
    echo $(( (end - start) / 1000 ))
}

instructions() {
    local decoder=$1 input=$2 cmd
    case $decoder in
        mpegdec) cmd=("$MPEGDEC" "$input" /dev/null) ;;
        mpegdec-base) cmd=("$BASELINE" "$input" /dev/null) ;;
        mpg123) cmd=(mpg123 -q -s "$input") ;;
        ffmpeg) cmd=(ffmpeg -v quiet -nostdin -y -i "$input" -f s16le /dev/null) ;;
    esac
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "${cmd[@]}" 2>&1 >/dev/null |
        sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

# Minimum and median of the numbers given.
min_median() {
    printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { printf "%d %d", v[1], v[int((NR + 1) / 2)] }'
}

make_clips
have_valgrind=0
command -v valgrind >/dev/null && have_valgrind=1
decoders=()
for decoder in mpegdec mpegdec-base mpg123 ffmpeg; do
    available $decoder && decoders+=("$decoder")
done
clips=(music speech layer2)

# Wall times: every round runs every clip with every decoder, so that the machine's load
# falls on all of them alike.
declare -A times=()
for (( round = 0; round < ROUNDS; ++round )); do
    for clip in "${clips[@]}"; do
        for decoder in "${decoders[@]}"; do
            times[$clip,$decoder]+=" $(wall_us $decoder "$(clip_file $clip)")"
        done
    done
done

echo "wall: ms per audio second over $ROUNDS rounds, decoding to a WAV file; instructions per audio second"
echo "(callgrind, 5 s start-up run subtracted); 'vs ours': the decoder's figure over mpegdec's"
printf '%-7s %-13s %8s %8s %9s %9s %14s %8s\n' clip decoder "min" "median" "vs ours" "vs ours" \
    "instr/audio s" "vs ours"
printf '%-7s %-13s %8s %8s %9s %9s %14s %8s\n' "" "" "" "" "(min)" "(median)" "" ""
rm -f "$WORK"/out-*.wav
for clip in "${clips[@]}"; do
    declare -A lo=() mid=() ips=()
    for decoder in "${decoders[@]}"; do
        # shellcheck disable=SC2086
        read -r a b <<<"$(min_median ${times[$clip,$decoder]})"
        lo[$decoder]=$a
        mid[$decoder]=$b
        if (( have_valgrind )); then
            long=$(instructions $decoder "$(clip_file $clip)")
            short=$(instructions $decoder "$(clip_file $clip 5)")
            ips[$decoder]=$(( (long - short) / 55 ))
        fi
    done
    for decoder in "${decoders[@]}"; do
        ratios=$(awk -v a="${lo[$decoder]}" -v b="${lo[mpegdec]}" -v c="${mid[$decoder]}" \
            -v d="${mid[mpegdec]}" 'BEGIN { printf "%.2f %.2f", a / b, c / d }')
        read -r rlo rmid <<<"$ratios"
        perSecond=$(awk -v a="${lo[$decoder]}" -v b="${mid[$decoder]}" \
            'BEGIN { printf "%.2f %.2f", a / 60000, b / 60000 }')
        read -r plo pmid <<<"$perSecond"
        if (( have_valgrind )); then
            iratio=$(awk -v a="${ips[$decoder]}" -v b="${ips[mpegdec]}" 'BEGIN { printf "%.2f", a / b }')
            printf '%-7s %-13s %8s %8s %9s %9s %14s %8s\n' $clip $decoder "$plo" "$pmid" "$rlo" \
                "$rmid" "${ips[$decoder]}" "$iratio"
        else
            printf '%-7s %-13s %8s %8s %9s %9s %14s %8s\n' $clip $decoder "$plo" "$pmid" "$rlo" \
                "$rmid" - -
        fi
    done
    unset lo mid ips
done
for decoder in mpg123 ffmpeg; do
    available $decoder || echo "($decoder not installed)"
done
(( have_valgrind )) || echo "(valgrind not installed: no instruction counts)"
