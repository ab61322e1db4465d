#!/usr/bin/env python3
"""Synthesises Vekkaro's own sounds into resources/sounds (run by hand; the files are committed)."""
import aifc
import math
import os
import struct
import sys
import wave

RATE = 22050
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "sounds")


def tone(partials, seconds, attack=0.005, decay=3.0, vibrato=0.0):
    samples = []
    n = int(RATE * seconds)
    for i in range(n):
        t = i / RATE
        env = min(1.0, t / attack) * math.exp(-decay * t)
        tail = min(1.0, (n - i) / (RATE * 0.01))
        v = sum(a * math.sin(2 * math.pi * f * t * (1 + vibrato * math.sin(2 * math.pi * 5 * t))) for f, a in partials)
        samples.append(v * env * tail)
    return samples


def sweep(f0, f1, seconds):
    samples, phase = [], 0.0
    n = int(RATE * seconds)
    for i in range(n):
        f = f0 + (f1 - f0) * i / n
        phase += 2 * math.pi * f / RATE
        samples.append(math.sin(phase) * math.exp(-6 * i / RATE) * min(1.0, (n - i) / (RATE * 0.01)))
    return samples


def pcm(samples, big_endian):
    peak = max(1e-9, max(abs(s) for s in samples))
    fmt = ">h" if big_endian else "<h"
    return b"".join(struct.pack(fmt, int(s / peak * 0.7 * 32767)) for s in samples)


def write_aiff(name, samples):
    with aifc.open(os.path.join(OUT, name), "wb") as f:
        f.setnchannels(1)
        f.setsampwidth(2)
        f.setframerate(RATE)
        f.writeframes(pcm(samples, True))


def write_wav(name, samples):
    with wave.open(os.path.join(OUT, name), "wb") as f:
        f.setnchannels(1)
        f.setsampwidth(2)
        f.setframerate(RATE)
        f.writeframes(pcm(samples, False))


def main():
    os.makedirs(OUT, exist_ok=True)
    write_aiff("Temple.aiff", tone([(523.25, 1.0), (784.0, 0.6), (1046.5, 0.3), (1318.5, 0.15)], 1.6, decay=2.2))
    write_aiff("Chime.aiff", tone([(880.0, 1.0), (1760.0, 0.4), (2640.0, 0.2)], 1.2, decay=3.5))
    write_aiff("Bell.aiff", tone([(660.0, 1.0), (990.0, 0.5), (1650.0, 0.25)], 1.4, decay=2.5, vibrato=0.002))
    write_aiff("Drop.aiff", sweep(1200.0, 300.0, 0.35))
    write_aiff("Pulse.aiff", tone([(440.0, 1.0)], 0.12, decay=0.0) + [0.0] * int(RATE * 0.08) + tone([(440.0, 1.0)], 0.12, decay=0.0))
    write_wav("beep.wav", tone([(1000.0, 1.0)], 0.15, decay=8.0))
    return 0


if __name__ == "__main__":
    sys.exit(main())
