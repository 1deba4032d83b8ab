#!/usr/bin/python3
"""A link of the old form that a stranger might craft: about 680,000 characters of deflated
lines that unpack to 200 MB of recording, far past the largest the game reads.

    /usr/bin/python3 tests/web/hostile_link.py > link.txt
"""
import base64
import zlib


def hostile_link():
    """The fragment, "#replay=..."."""
    packer = zlib.compressobj(9, zlib.DEFLATED, -15)
    lines = b"at 0.000001 press 32\n" * 400000
    packed = packer.compress(b"# RMO Mazeblast replay, format 1\n")
    for _ in range(25):
        packed += packer.compress(lines)
    packed += packer.flush()
    return "#replay=" + base64.urlsafe_b64encode(packed).decode().rstrip("=")


if __name__ == "__main__":
    print("https://rmo.invalid/mazeblast/" + hostile_link())
