#!/usr/bin/env python3
"""Writes the program's six notification sounds (resources/sounds/101.wav to 106.wav).

16-bit PCM mono at 22050 Hz, made of short sine notes with soft attack and decay so that they
do not click. Only the standard library is used; run it again to regenerate the files.
"""
import math
import pathlib
import struct
import wave

RATE = 22050
OUT = pathlib.Path(__file__).resolve().parent.parent / "resources" / "sounds"


def note(freq, seconds, volume=0.45, harmonics=(1.0, 0.3, 0.1)):
    count = int(RATE * seconds)
    attack = max(1, int(RATE * 0.008))
    samples = []
    for i in range(count):
        t = i / RATE
        env = min(1.0, i / attack) * math.exp(-4.0 * i / count)
        value = sum(a * math.sin(2 * math.pi * freq * (k + 1) * t) for k, a in enumerate(harmonics))
        samples.append(volume * env * value / sum(harmonics))
    return samples


def silence(seconds):
    return [0.0] * int(RATE * seconds)


def chirp(start, end, seconds, volume=0.4):
    count = int(RATE * seconds)
    samples = []
    phase = 0.0
    for i in range(count):
        freq = start + (end - start) * i / count
        phase += 2 * math.pi * freq / RATE
        env = math.sin(math.pi * i / count)
        samples.append(volume * env * math.sin(phase))
    return samples


SOUNDS = {
    # Start with a server link, or a link handed over: a rising chime.
    101: note(659, 0.12) + note(988, 0.25),
    # A Fighter joined / connected: three rising notes.
    102: note(523, 0.09) + note(659, 0.09) + note(784, 0.2),
    # Game info or a ping report arrived: two bright equal notes.
    103: note(880, 0.1) + silence(0.04) + note(880, 0.16),
    # Left, closed, kicked or timed out: two falling notes.
    104: note(784, 0.12) + note(523, 0.24),
    # Already connected: a low double knock.
    105: note(220, 0.08, harmonics=(1.0, 0.6, 0.4)) + silence(0.05)
    + note(220, 0.1, harmonics=(1.0, 0.6, 0.4)),
    # Chat message or a gamma step: one short upward blip.
    106: chirp(900, 1500, 0.09),
}


def write(path, samples):
    frames = b"".join(struct.pack("<h", int(max(-1.0, min(1.0, s)) * 32767)) for s in samples)
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    for sound_id, samples in SOUNDS.items():
        write(OUT / f"{sound_id}.wav", samples)


if __name__ == "__main__":
    main()
