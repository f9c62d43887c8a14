#!/usr/bin/env python3
"""Which sounds a sound sink holds, in the order played.

Usage: sink_sounds.py SINK SOUND1 SOUND2 ...  (raw 16-bit mono samples each)
Prints the count and the numbers of the sounds found, and exits 0 when the
sink holds nothing but whole sounds; exits 1 otherwise. Silence the player
writes when it runs late (zero samples, anywhere) is set aside on both sides,
so a loaded machine cannot make a whole sound look cut.
"""
import sys
from array import array


def voiced(path):
    samples = array("h")
    with open(path, "rb") as f:
        data = f.read()
    samples.frombytes(data[: len(data) // 2 * 2])
    if sys.byteorder != "little":
        samples.byteswap()
    return [s for s in samples if s != 0], len(data) % 2 == 0


def main():
    sink, whole = voiced(sys.argv[1])
    sounds = [voiced(p)[0] for p in sys.argv[2:]]
    found, at = [], 0
    while whole and at < len(sink):
        for number, sound in enumerate(sounds, 1):
            if sink[at : at + len(sound)] == sound:
                found.append(number)
                at += len(sound)
                break
        else:
            break
    print(len(found), *found)
    return 0 if whole and at == len(sink) else 1


sys.exit(main())
