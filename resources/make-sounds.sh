#!/bin/sh
# Regenerates the sounds that Horavel.rc embeds as WAVE resources:
#   sounds/ring.wav     the ring mission: a bell arpeggio played twice,
#                       PCM 48000 Hz, 2 channels, 16 bit, exactly 390184
#                       bytes of sample data (97546 frames, about 2.03 s)
#   sounds/t1..t24.wav  the hourly chime: a two-note bell, then the hour
#                       spoken in Mandarin; PCM 8000 Hz, mono, 16 bit,
#                       4.35 to 11.78 s, t24 (midnight) the longest
#
# Needs (Debian): sox, espeak-ng (with espeak-ng-data), python3. The outputs are
# committed; an ordinary build does not run this script.
#
# Usage: resources/make-sounds.sh   (from any directory)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=$here/sounds
mkdir -p "$out"
for t in sox espeak-ng python3; do
    command -v "$t" >/dev/null || { echo "make-sounds: $t is missing" >&2; exit 1; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

calc() { awk "BEGIN { print $* }"; }

# -R: repeatable output (fixed seed for dither)
sx() { sox -R -V1 "$@"; }

# bell RATE FREQ LENGTH OUT: one struck bell, mono. Three partials, the
# higher ones quieter and shorter; each decays exponentially over its length.
bell() {
    r=$1 f=$2 len=$3 o=$4
    sx -n -r "$r" -b 16 -c 1 "$o.1.wav" synth "$len" sine "$f" fade l 0.004 "$len" "$len"
    sx -n -r "$r" -b 16 -c 1 "$o.2.wav" synth "$len" sine "$(calc "$f * 2")" \
        fade l 0.003 "$(calc "$len * 0.6")" "$(calc "$len * 0.6")" pad 0 "$(calc "$len * 0.4")"
    sx -n -r "$r" -b 16 -c 1 "$o.3.wav" synth "$len" sine "$(calc "$f * 3.01")" \
        fade l 0.002 "$(calc "$len * 0.3")" "$(calc "$len * 0.3")" pad 0 "$(calc "$len * 0.7")"
    sx -m -v 0.62 "$o.1.wav" -v 0.26 "$o.2.wav" -v 0.12 "$o.3.wav" "$o"
}

# place OUT [FILE START]...: mixes the files, each delayed to its start time.
place() {
    o=$1
    shift
    args=
    i=0
    while [ $# -gt 0 ]; do
        i=$((i + 1))
        sx "$1" "$tmp/placed-$i.wav" pad "$2"
        args="$args -v 1 $tmp/placed-$i.wav"
        shift 2
    done
    # shellcheck disable=SC2086 # one word per file and option
    sx -m $args "$o"
}

echo "ring"
# G5 C6 E6 G6, rising, twice; the notes alternate slightly left and right.
n=0
for f in 783.99 1046.50 1318.51 1567.98; do
    n=$((n + 1))
    bell 48000 "$f" 1.8 "$tmp/ring-$n.wav"
done
place "$tmp/ring-mono.wav" "$tmp/ring-1.wav" 0 "$tmp/ring-2.wav" 0.17 "$tmp/ring-3.wav" 0.34 "$tmp/ring-4.wav" 0.51 \
    "$tmp/ring-1.wav" 1.0 "$tmp/ring-2.wav" 1.17 "$tmp/ring-3.wav" 1.34 "$tmp/ring-4.wav" 1.51
sx "$tmp/ring-mono.wav" "$tmp/ring-l.wav" remix 1 reverb 35 50 60 pad 0 1
sx "$tmp/ring-mono.wav" "$tmp/ring-r.wav" remix 1 pad 0.012 reverb 35 50 70 pad 0 1
# 97546 frames x 2 channels x 2 bytes = 390184 bytes of sample data
sx -M "$tmp/ring-l.wav" "$tmp/ring-r.wav" -r 48000 -b 16 -c 2 "$out/ring.wav" \
    trim 0 97546s fade t 0 97546s 0.25 gain -n -1

echo "hourly chime"
# A two-note bell (E5, C5) before the voice.
bell 8000 659.25 1.4 "$tmp/ding.wav"
bell 8000 523.25 1.6 "$tmp/dong.wav"
place "$tmp/chime.wav" "$tmp/ding.wav" 0 "$tmp/dong.wav" 0.42
# a little below the voice
sx "$tmp/chime.wav" "$tmp/chime-short.wav" trim 0 1.25 fade t 0 1.25 0.3 gain -n -5

# What is said at each hour: the part of the day and the hour on a 12-hour clock.
say() {
    h=$1
    set -- 一 两 三 四 五 六 七 八 九 十 十一 十二
    case $h in
    1 | 2 | 3) part=深夜 n=$h ;;
    4 | 5) part=清晨 n=$h ;;
    6 | 7 | 8) part=早上 n=$h ;;
    9 | 10 | 11) part=上午 n=$h ;;
    12) part=中午 n=12 ;;
    13 | 14 | 15 | 16 | 17) part=下午 n=$((h - 12)) ;;
    18) part=傍晚 n=6 ;;
    19 | 20 | 21 | 22 | 23) part=晚上 n=$((h - 12)) ;;
    24) part=午夜 n=12 ;;
    esac
    eval "num=\${$n}"
    if [ "$h" = 24 ]; then
        echo "现在时刻，${part}${num}点整，新的一天开始了，祝您晚安。"
    else
        echo "现在时刻，${part}${num}点整。"
    fi
}

h=0
while [ $h -lt 24 ]; do
    h=$((h + 1))
    text=$(say $h)
    # The "cmn-latn-pinyin" variant of the Mandarin voice: the plain "cmn"
    # variant reads the pinyin of its own dictionary entries as English.
    espeak-ng -v cmn-latn-pinyin -s 135 -p 45 -w "$tmp/voice-$h.wav" "$text"
    sx "$tmp/voice-$h.wav" -r 8000 "$tmp/voice8-$h.wav" \
        silence 1 0.02 0.3% reverse silence 1 0.02 0.3% reverse highpass 120 lowpass 3400 gain -n -1
    if [ $h = 24 ]; then
        # midnight: the full chime, twice
        sx "$tmp/chime-short.wav" "$tmp/chime-short.wav" "$tmp/lead-$h.wav"
    else
        cp "$tmp/chime-short.wav" "$tmp/lead-$h.wav"
    fi
    sx "$tmp/lead-$h.wav" "$tmp/voice8-$h.wav" -r 8000 -b 16 -c 1 "$tmp/joined-$h.wav" pad 0 0.35
    # keep within 4.35 .. 11.78 s: a quiet tail when short
    len=$(soxi -D "$tmp/joined-$h.wav")
    if [ "$(calc "($len < 4.4)")" = 1 ]; then
        sx "$tmp/joined-$h.wav" "$out/t$h.wav" pad 0 "$(calc "4.4 - $len")"
    else
        sx "$tmp/joined-$h.wav" "$out/t$h.wav"
    fi
done

python3 "$here/tools/wavcheck.py" "$out"
