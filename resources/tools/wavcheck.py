#!/usr/bin/env python3
"""Checks the generated sounds: format, lengths, peaks and silences.

Usage: wavcheck.py SOUNDS_DIR. Exits non-zero on the first fault; prints one
line per file otherwise. Used by make-sounds.sh.
"""

import array
import math
import os
import struct
import sys


def chunks(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError("not a RIFF WAVE file")
    if struct.unpack_from("<I", data, 4)[0] != len(data) - 8:
        raise ValueError("RIFF size does not match the file")
    out, at = {}, 12
    while at + 8 <= len(data):
        kind, size = struct.unpack_from("<4sI", data, at)
        out[kind] = data[at + 8:at + 8 + size]
        at += 8 + size + (size & 1)
    return out


def check(path, channels, rate, exact_bytes=None, seconds=None):
    c = chunks(path)
    tag, ch, sr, byte_rate, align, bits = struct.unpack_from("<HHIIHH", c[b"fmt "])
    want = (1, channels, rate, rate * channels * 2, channels * 2, 16)
    if (tag, ch, sr, byte_rate, align, bits) != want:
        raise ValueError(f"format {(tag, ch, sr, byte_rate, align, bits)}, expected {want}")
    data = c[b"data"]
    if exact_bytes is not None and len(data) != exact_bytes:
        raise ValueError(f"{len(data)} bytes of sample data, expected {exact_bytes}")
    length = len(data) / byte_rate
    if seconds and not seconds[0] <= length <= seconds[1]:
        raise ValueError(f"{length:.3f} s, expected {seconds[0]} .. {seconds[1]}")
    samples = array.array("h", data)
    if sys.byteorder != "little":
        samples.byteswap()
    peak = max(abs(min(samples)), max(samples))
    if peak >= 32767:
        raise ValueError("clipped (full-scale samples)")
    if peak < 16000:
        raise ValueError(f"too quiet (peak {peak})")
    # longest stretch below -50 dBFS, in 10 ms windows
    win = rate // 100 * channels
    quiet = longest = 0
    for i in range(0, len(samples), win):
        part = samples[i:i + win]
        if max(abs(min(part)), max(part)) < 104:
            quiet += 1
            longest = max(longest, quiet)
        else:
            quiet = 0
    if longest * 0.01 > 0.6:
        raise ValueError(f"{longest * 0.01:.2f} s of silence")
    return length, peak, longest * 0.01


def main():
    folder = sys.argv[1]
    try:
        results = {}
        name = "ring.wav"
        results[name] = check(os.path.join(folder, name), 2, 48000, exact_bytes=390184)
        for h in range(1, 25):
            name = f"t{h}.wav"
            results[name] = check(os.path.join(folder, name), 1, 8000, seconds=(4.35, 11.78))
    except (OSError, ValueError, KeyError) as e:
        sys.exit(f"wavcheck: {name}: {e}")
    longest = max(range(1, 25), key=lambda h: results[f"t{h}.wav"][0])
    if longest != 24 or sum(results[f"t{h}.wav"][0] == results["t24.wav"][0] for h in range(1, 25)) > 1:
        sys.exit("wavcheck: t24.wav must be the longest chime")
    for name, (length, peak, silence) in results.items():
        print(f"{name:9} {length:6.3f} s  peak {20 * math.log10(peak / 32768):5.1f} dBFS"
              f"  longest quiet {silence:.2f} s")


if __name__ == "__main__":
    main()
