#!/usr/bin/env python3
"""Writes the program's sounds into assets/: short, quiet synthesised tones.

Run again after changing a tone; the output is the same on every run.
"""
import math
import os
import struct
import wave

RATE = 22050
VOLUME = 0.18  # of full scale: the sounds accompany clicks, they never shout

ASSETS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets")


def tone(freq, ms, decay=4.0, harmonics=(1.0, 0.3, 0.1)):
    """A soft bell-like note: a few harmonics under a fast attack and an
    exponential decay, so it starts and ends without a click."""
    count = int(RATE * ms / 1000)
    attack = max(1, int(RATE * 0.004))
    out = []
    for i in range(count):
        t = i / RATE
        env = min(1.0, i / attack) * math.exp(-decay * t * 1000 / ms)
        tail = min(1.0, (count - i) / attack)
        s = sum(a * math.sin(2 * math.pi * freq * (k + 1) * t) for k, a in enumerate(harmonics))
        out.append(env * tail * s / sum(harmonics))
    return out


def silence(ms):
    return [0.0] * int(RATE * ms / 1000)


def write(name, samples):
    path = os.path.join(ASSETS, name)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(round(s * VOLUME * 32767))) for s in samples))
    print(os.path.relpath(path))


SOUNDS = {
    # Pressing a picture tool.
    "aClick.wav": tone(1760, 30, decay=6.0, harmonics=(1.0, 0.2)),
    # The pointer over a launcher area; a transaction entered.
    "Menu.wav": tone(880, 70, decay=3.0),
    # The launcher opens: a rising chord.
    "Start.Wav": tone(523, 140) + tone(659, 140) + tone(784, 260),
    # The program ends: falling.
    "Close.wav": tone(784, 130) + tone(523, 230),
    # Calls attention (first run): two low notes.
    "errors.wav": tone(330, 120, harmonics=(1.0, 0.5, 0.3)) + silence(40)
    + tone(262, 180, harmonics=(1.0, 0.5, 0.3)),
    # A long job (sort, search, report) is done.
    "DoneRpt.wav": tone(659, 110) + tone(988, 220),
}

if __name__ == "__main__":
    for file_name, data in SOUNDS.items():
        write(file_name, data)
