#!/usr/bin/python3
"""A link that a stranger might craft: a key held down at one moment and repeating, 3.3
million times. Packed, it is under 50,000 characters; read, it would be past 64 MB of
recording, more than any the game reads. Made by the native mazeblast-sim from a recording
written in short times, which reads as less than 64 MB.

    /usr/bin/python3 tests/web/hostile_link.py [MAZEBLAST-SIM] > link.txt
"""
import os
import subprocess
import sys
import tempfile

SIM = os.environ.get("MAZEBLAST_SIM", os.path.join(os.path.dirname(__file__),
                                                   "../../build/release/mazeblast-sim"))


def hostile_link(sim=SIM):
    """The fragment, "#replay=..."."""
    with tempfile.NamedTemporaryFile("w", suffix=".mzr") as f:
        f.write("# RMO Mazeblast replay, format 1\nseed 1\nfloor 16\n")
        f.write("at 5.0 press 32\n" * 3300000)
        f.write("at 5.0 end\n")
        f.flush()
        return subprocess.run([sim, "--link", f.name], capture_output=True, text=True,
                              check=True).stdout.strip()


if __name__ == "__main__":
    print("https://rmo.invalid/mazeblast/" + hostile_link(*sys.argv[1:]))
