#!/usr/bin/python3
"""A link that a stranger might craft: a key held down at one moment and repeating, 3.3
million times. Packed, it is under 50,000 characters; read, it would be past 64 MB of
recording, more than any the game reads. It is kept in tests/replays/hostile.link, made by the
native mazeblast-sim from a recording written in short times, which reads as less than 64 MB:

    /usr/bin/python3 tests/web/hostile_link.py build/release/mazeblast-sim > tests/replays/hostile.link
"""
import os
import subprocess
import sys
import tempfile

KEPT = os.path.join(os.path.dirname(__file__), "../replays/hostile.link")


def hostile_link():
    """The fragment, "#replay=...", as kept."""
    with open(KEPT) as f:
        return f.read().strip()


def make(sim):
    with tempfile.NamedTemporaryFile("w", suffix=".mzr") as f:
        f.write("# RMO Mazeblast replay, format 1\nseed 1\nfloor 16\n")
        f.write("at 5.0 press 32\n" * 3300000)
        f.write("at 5.0 end\n")
        f.flush()
        return subprocess.run([sim, "--link", f.name], capture_output=True, text=True,
                              check=True).stdout.strip()


if __name__ == "__main__":
    print(make(sys.argv[1]))
