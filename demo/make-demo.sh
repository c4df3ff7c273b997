#!/usr/bin/env bash
# Makes the demo tracks: three short sine tones of different pitch, so a listener (or a
# recording of the sound card) can tell which one plays. Small on purpose: they are committed.
# Needs sox and lame. Run from anywhere; writes next to this script.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# name, frequency in Hz: a chord of A major, one note per track.
tracks=(
    "01 Kammerton A.mp3:440"
    "02 Terz Cis.mp3:554"
    "03 Quinte E.mp3:659"
)
for entry in "${tracks[@]}"; do
    name=${entry%:*}
    freq=${entry##*:}
    # 3 s mono with short fades, so no click at either end; -3 dB leaves headroom for MP3.
    sox -n -r 44100 -c 1 -b 16 "$tmp/tone.wav" synth 3 sine "$freq" fade 0.05 3 0.3 gain -3
    # 48 kbit/s mono keeps each file near 18 KiB.
    lame --quiet -m m -b 48 "$tmp/tone.wav" "$name"
done
ls -l ./*.mp3
