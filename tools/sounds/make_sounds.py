#!/usr/bin/env python3
"""Writes the game's two sounds, synthesised from scratch:

  Move.wav  a soft card flick: a short burst of filtered noise with a fast
            decay and a faint low knock where the card lands (about 100 ms);
  Win.wav   a bright rising chime: four bell-like notes of a major chord,
            each a few sine partials with their own decays (about 1.1 s).

Both are 16-bit mono at 44100 Hz, peak-normalised well below full scale.
The noise comes from a fixed-seed generator, so every run writes the same
bytes.

    python3 tools/sounds/make_sounds.py [output folder]   (default: data/)
"""

import math
import os
import struct
import sys
import wave

RATE = 44100


class Noise:
    """A small linear congruential generator: uniform values in [-1, 1)."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def next(self):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return self.state / 2147483648.0 - 1.0


def normalise(samples, peak):
    top = max(abs(s) for s in samples)
    return [s * peak / top for s in samples] if top > 0 else samples


def fade_out(samples, seconds):
    n = min(len(samples), int(seconds * RATE))
    for i in range(n):
        samples[len(samples) - n + i] *= 1.0 - (i + 1) / n
    return samples


def write_wav(path, samples):
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        frames = b"".join(struct.pack("<h", int(round(max(-1.0, min(1.0, s)) * 32767))) for s in samples)
        out.writeframes(frames)


def card_flick():
    """Band-limited noise shaped like a card sliding off the pack and landing."""
    length = int(0.100 * RATE)
    noise = Noise(20240611)
    # Two low-pass poles and one high-pass pole make a soft band around
    # 1-4 kHz: the low ones take the hiss off the top, the high one the rumble
    # off the bottom.
    low_a = math.exp(-2 * math.pi * 3800 / RATE)
    high_a = math.exp(-2 * math.pi * 1100 / RATE)
    pre = 0.0
    low = 0.0
    high_in = 0.0
    high_out = 0.0
    out = []
    for i in range(length):
        t = i / RATE
        raw = noise.next()
        pre = (1 - low_a) * raw + low_a * pre
        low = (1 - low_a) * pre + low_a * low
        high_out = high_a * (high_out + low - high_in)
        high_in = low
        # 2 ms rise, then a quick fall; a second, smaller brush 18 ms later
        # gives the slide its texture.
        attack = min(1.0, t / 0.002)
        swish = attack * math.exp(-t / 0.016)
        brush = 0.45 * math.exp(-max(0.0, t - 0.018) / 0.012) * (1.0 if t >= 0.018 else 0.0)
        knock = 0.5 * math.sin(2 * math.pi * 190 * t) * math.exp(-t / 0.012) * attack
        out.append(high_out * (swish + brush) + 0.25 * knock)
    return fade_out(normalise(out, 0.45), 0.010)


def chime():
    """C E G C rising, each note a bell with partials that fade at their own pace."""
    notes = [523.25, 659.26, 783.99, 1046.50]
    spacing = 0.11
    length = int(1.10 * RATE)
    # (frequency ratio, loudness, decay time in seconds)
    partials = [(1.0, 1.0, 0.42), (2.0, 0.32, 0.22), (3.0, 0.12, 0.12), (4.2, 0.05, 0.07)]
    out = [0.0] * length
    for k, base in enumerate(notes):
        start = int(k * spacing * RATE)
        # The last note rings longest and a little louder: the chord resolves on it.
        weight = 1.15 if k == len(notes) - 1 else 1.0
        stretch = 1.6 if k == len(notes) - 1 else 1.0
        for i in range(length - start):
            t = i / RATE
            attack = min(1.0, t / 0.004)
            value = 0.0
            for ratio, loud, decay in partials:
                value += loud * math.sin(2 * math.pi * base * ratio * t) * math.exp(-t / (decay * stretch))
            out[start + i] += weight * attack * value
    return fade_out(normalise(out, 0.5), 0.080)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "data")
    os.makedirs(folder, exist_ok=True)
    for name, samples in (("Move.wav", card_flick()), ("Win.wav", chime())):
        path = os.path.join(folder, name)
        write_wav(path, samples)
        print("%s: %d ms" % (os.path.normpath(path), round(len(samples) * 1000 / RATE)))


if __name__ == "__main__":
    main()
