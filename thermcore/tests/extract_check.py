#!/usr/bin/env python3
"""Independent readers for the tests of Thermcore's extracts: Python's wave
and audioop modules, and PIL for BMP files.

    extract_check.py wav FILE           prints "channels width rate frames" of
                                        the WAV file, or fails
    extract_check.py adpcm WAV VNI      fails unless the WAV's samples are 30
                                        silent ones, then every sample of
                                        audioop.adpcm2lin over the still
                                        image's sound, each twice
    extract_check.py bmp FILE OUT       decodes the BMP with PIL and writes
                                        "width height\\n" and R, G, B bytes
"""
import struct
import sys
import warnings
import wave

with warnings.catch_warnings():
    warnings.simplefilter("ignore", DeprecationWarning)
    import audioop


def cmd_wav(path):
    with wave.open(path, "rb") as w:
        w.readframes(w.getnframes())
        print(w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes())
    return 0


def still_sound(path):
    with open(path, "rb") as f:
        data = f.read()
    gray, photo, sound = (struct.unpack_from("<I", data, off)[0] for off in (20, 28, 32))
    start = 428 + gray + photo
    return data[start:start + sound]


def cmd_adpcm(wav_path, vni_path):
    with wave.open(wav_path, "rb") as w:
        if (w.getnchannels(), w.getsampwidth(), w.getframerate()) != (1, 2, 16000):
            print("format", w.getnchannels(), w.getsampwidth(), w.getframerate())
            return 1
        frames = w.readframes(w.getnframes())
    decoded, _ = audioop.adpcm2lin(still_sound(vni_path), 2, None)
    doubled = b"".join(decoded[i:i + 2] * 2 for i in range(0, len(decoded), 2))
    expected = bytes(60) + doubled
    if frames != expected:
        first = next((i for i, (a, b) in enumerate(zip(frames, expected)) if a != b), None)
        print("samples differ: %d bytes, %d expected, first difference at %s"
              % (len(frames), len(expected), first))
        return 1
    return 0


def cmd_bmp(path, out):
    from PIL import Image
    with Image.open(path) as im:
        if im.format != "BMP":
            print("not a BMP:", im.format)
            return 1
        rgb = im.convert("RGB")
        with open(out, "wb") as f:
            f.write(b"%d %d\n" % rgb.size)
            f.write(rgb.tobytes())
    return 0


def main(argv):
    commands = {"wav": (cmd_wav, 1), "adpcm": (cmd_adpcm, 2), "bmp": (cmd_bmp, 2)}
    if len(argv) < 2 or argv[1] not in commands or len(argv) != 2 + commands[argv[1]][1]:
        print(__doc__)
        return 2
    return commands[argv[1]][0](*argv[2:])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
