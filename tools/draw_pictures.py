#!/usr/bin/env python3
"""Draws the game's pictures and writes them as XPM files under screen/pictures/.

Run it again after changing a drawing; the XPM files are what the build compiles in."""
import math
import os
import struct
import zlib

BLACK, WHITE, RED = (0, 0, 0), (255, 255, 255), (255, 0, 0)
MAGENTA, GREEN, AMBER = (255, 0, 255), (0, 255, 0), (248, 191, 36)
YELLOW, ORANGE, RUST, BLUE = (255, 255, 0), (255, 128, 0), (227, 64, 21), (0, 0, 255)
OUT = os.path.join(os.path.dirname(__file__), "..", "screen", "pictures")


def canvas(n):
    return [[BLACK] * n for _ in range(n)]


def write(name, px):
    colours = sorted({c for row in px for c in row})
    keys = ".#abcdefghijklmnopqrstuvwxyz"
    key = {c: keys[i] for i, c in enumerate(colours)}
    h, w = len(px), len(px[0])
    lines = [f'"{w} {h} {len(colours)} 1",']
    lines += [f'"{key[c]} c #{c[0]:02X}{c[1]:02X}{c[2]:02X}",' for c in colours]
    lines += ['"' + "".join(key[c] for c in row) + '",' for row in px]
    lines[-1] = lines[-1].rstrip(",")
    with open(os.path.join(OUT, name + ".xpm"), "w") as f:
        f.write("/* XPM */\nstatic const char *%s_xpm[] = {\n%s\n};\n" % (name, "\n".join(lines)))


def outline(px, body, colour=WHITE):
    """Rings every pixel of `body` (a set of (x, y)) that borders on the outside with `colour`."""
    n = len(px)
    for (x, y) in body:
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            if (x + dx, y + dy) not in body or not (0 <= x + dx < n and 0 <= y + dy < n):
                px[y][x] = colour
                break


def enemy(fill, dither=None):
    px = canvas(33)
    body = {(x, y) for y in range(33) for x in range(33)
            if abs(x - 16) <= 15 and abs(y - 16) <= 15 and abs(x - 16) + abs(y - 16) <= 22}
    for (x, y) in body:
        px[y][x] = dither if dither and (x + y) % 2 else fill
    outline(px, body)
    # The window: four black squares with coloured centres, framed in white.
    for y in range(10, 23):
        for x in range(10, 23):
            edge = x in (10, 16, 22) or y in (10, 16, 22)
            centre = (x % 6) in (2, 3) and (y % 6) in (2, 3)
            px[y][x] = WHITE if edge else ((dither if dither and (x + y) % 2 else fill) if centre else BLACK)
    return px


def disc(px, cx, cy, r, colour, body=None):
    for y in range(len(px)):
        for x in range(len(px)):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                px[y][x] = colour
                if body is not None:
                    body.add((x, y))


def line(px, x0, y0, x1, y1, colour, width, body=None):
    steps = max(abs(x1 - x0), abs(y1 - y0)) * 2 + 1
    for i in range(steps + 1):
        t = i / steps
        disc(px, x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2, colour, body)


def player(frame):
    """frame 1 stands; 2-3 arms come down; 4-5 squats; 6 puddle; 7-8 eyes over the floor line;
    9-10 eyes sink; 11 floor line only."""
    px = canvas(33)
    body = set()
    floor = frame >= 6
    if frame <= 5:
        drop = {1: 0, 2: 0, 3: 0, 4: 5, 5: 9}[frame]
        top = 4 + drop
        disc(px, 16, top + 5, 4.5, RED, body)
        for y in range(top + 10, 24):
            for x in range(13, 20):
                px[y][x] = RED
                body.add((x, y))
        arm_end = {1: -9, 2: -2, 3: 6}.get(frame, 4)
        line(px, 13, top + 11, 7, top + 11 + arm_end, RED, 2, body)
        line(px, 19, top + 11, 25, top + 11 + arm_end, RED, 2, body)
        spread = 5 if frame <= 3 else 9
        line(px, 14, 23, 16 - spread, 31, RED, 2, body)
        line(px, 18, 23, 16 + spread, 31, RED, 2, body)
        outline(px, body)
        eye_y = top + 2
    else:
        if frame == 6:
            for y in range(26, 31):
                for x in range(4, 29):
                    if abs(x - 16) <= 12 - (30 - y) * 2:
                        px[y][x] = RED
                        body.add((x, y))
            outline(px, body)
        eye_y = {6: 24, 7: 27, 8: 27, 9: 29, 10: 30}.get(frame)
    if eye_y is not None and frame <= 10:
        for ex in (13, 19):
            disc(px, ex, eye_y, 2.5, WHITE)
            disc(px, ex, eye_y, 1.2, BLUE)
    if floor:
        for y in (31, 32):
            for x in range(33):
                px[y][x] = WHITE
    return px


def bomb(centre):
    px = canvas(33)
    for y in range(33):
        for x in range(33):
            d = math.hypot(x - 16, y - 16)
            if 13.5 <= d <= 15.5 or 10.5 <= d <= 12.0:
                px[y][x] = WHITE
            elif centre == "four":
                if (abs(x - 16) == 3 and abs(y - 16) == 3):
                    px[y][x] = WHITE
            elif d <= centre and (x + y) % 2 == 0:
                px[y][x] = WHITE
    return px


def flame(horizontal, first):
    px = canvas(16)
    for y in range(16):
        for x in range(16):
            band = y if horizontal else x
            if first <= band <= first + 7:
                px[y][x] = YELLOW if (x + y) % 2 == 0 else ORANGE
    return px


def brick(cracked):
    px = canvas(16)
    for y in range(16):
        course, row = divmod(y, 4)
        if row == 3:
            continue
        for x in range(16):
            joint = (x + (4 if course % 2 else 0)) % 8 == 7
            if joint:
                continue
            if not cracked or (x + y) % 4 == 0 and (x // 2 + y) % 2 == 0:
                px[y][x] = RED
    return px


def write_png(path, px):
    """Writes a list of rows of (r, g, b) as an 8-bit RGB PNG."""
    h, w = len(px), len(px[0])
    raw = b"".join(b"\0" + bytes(c for rgb in row for c in rgb) for row in px)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon(n):
    """The burst: the blast picture at 33 x 33, and the icons of the desktop and the page."""
    px = [[BLACK] * n for _ in range(n)]
    c = (n - 1) / 2
    k = n / 33
    for y in range(n):
        for x in range(n):
            dx, dy = (x - c) / k, (y - c) / k
            d = math.hypot(dx, dy) + 1.5 * math.sin(7 * math.atan2(dy, dx))
            gx, gy = int(x / k), int(y / k)
            if d <= 6:
                px[y][x] = YELLOW
            elif d <= 10:
                px[y][x] = ORANGE if (gx + gy) % 3 else YELLOW
            elif d <= 14:
                px[y][x] = RUST if (gx * gy) % 4 else ORANGE
            elif abs(dx) <= 4 or abs(dy) <= 4:
                px[y][x] = YELLOW if (gx + gy) % 2 else ORANGE
    return px


def main():
    write("vih1", enemy(MAGENTA))
    write("vih2", enemy(GREEN))
    write("vih3", enemy(AMBER))
    write("kvih1", enemy(MAGENTA, RED))
    write("kvih2", enemy(GREEN, RED))
    write("kvih3", enemy(AMBER, RED))
    for f in range(1, 12):
        write(f"pel{f}", player(f))
    write("b1", bomb(7))
    write("b2", bomb(4))
    write("b3", bomb("four"))
    write("b4", icon(33))
    write("lva", flame(True, 3))
    write("lvy", flame(True, 6))
    write("lpo", flame(False, 3))
    write("lpv", flame(False, 6))
    write("brick", brick(False))
    write("cracked_brick", brick(True))
    write("icon", icon(33))
    icons = os.path.join(OUT, "..", "..", "data", "icons")
    os.makedirs(icons, exist_ok=True)
    for n in (16, 32, 48, 64, 128, 192, 256, 512):
        write_png(os.path.join(icons, f"{n}.png"), icon(n))


if __name__ == "__main__":
    main()
