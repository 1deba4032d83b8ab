#!/usr/bin/python3
"""How evenly and sharply a screen shows the game's picture: the screen compared with the
game's own 849 x 565 picture, area-averaged to the screen's scale and place (the ideal: each
game pixel covering exactly its share of the screen).

    /usr/bin/python3 tests/evenness.py SCREEN.png PICTURE.png [X Y W H] [--sprites DUMP]

X Y W H is the part of the screen to look in (the window's inside; the whole screen if not
given); DUMP, mazeblast-sim's dump of the same screen, names the sprites to measure over. Prints one line of JSON: where the picture stands and at what scale, the share of the
limiting side it fills, the mean absolute error from the ideal (0 to 1 a channel; about 0.007
for sharp bilinear at 1.8x, 0.024 for plain bilinear, 0.04 for nearest neighbour), and the
widest run of blended pixels across the edges of the pillars (1 at most for sharp bilinear,
0 for shapes drawn at the screen's resolution).
"""
import json
import sys

import numpy
from PIL import Image

W, H = 849, 565


def spread(values, axis, first, last, scale, offset, game):
    """Game pixels along one axis spread over the screen pixels first to last: each screen
    pixel the mean of what it covers, at most two game pixels at a scale of 1 or more."""
    lo = (numpy.arange(first, last) - offset) / scale
    hi = lo + 1 / scale
    a = numpy.clip(numpy.floor(lo).astype(int), 0, game - 1)
    b = numpy.clip(a + 1, 0, game - 1)
    wa = (numpy.minimum(hi, a + 1) - lo) * scale
    wb = 1 - wa
    take = lambda i: numpy.take(values, i, axis=axis)
    shape = [1, 1, 1]
    shape[axis] = -1
    return take(a) * wa.reshape(shape) + take(b) * wb.reshape(shape)


def ideal(picture, scale, ox, oy, xs, ys):
    """The part xs x ys (ranges) of a screen that shows the picture ideally with its corner
    at (ox, oy), `scale` screen pixels a game pixel (or a pair, across and down)."""
    sx, sy = scale if isinstance(scale, tuple) else (scale, scale)
    rows = spread(picture, 0, ys.start, ys.stop, sy, oy, H)
    return spread(rows, 1, xs.start, xs.stop, sx, ox, W)


def blended_run(screen, picture, scale, ox, oy):
    """The widest run of pixels between black and a pillar's red, across the pillars' left
    and top edges: how far an edge is smeared."""
    red = (numpy.abs(picture[:, :, 0] - 192 / 255) < 0.01) & (picture[:, :, 1] < 0.01) & (
        picture[:, :, 2] < 0.01)
    black = picture.max(axis=2) < 0.01
    widest = 0
    for axis in (0, 1):
        view, dark = (red, black) if axis == 0 else (red.T, black.T)
        line = screen[:, :, 0] if axis == 0 else screen[:, :, 0].T
        origin, across = (ox, oy) if axis == 0 else (oy, ox)
        # Where a pillar begins: three black pixels, then three of its red, on five rows, so
        # that nothing but that one step is near.
        rows = view.shape[0]
        for row in range(2, rows - 2):
            step = numpy.ones(view.shape[1] - 5, dtype=bool)
            for r in range(row - 2, row + 3):
                for dx in range(3):
                    step &= dark[r, dx:dx + step.size] & view[r, 3 + dx:3 + dx + step.size]
            starts = numpy.nonzero(step)[0] + 3
            for x in starts[:40]:
                y = int(across + (row + 0.5) * scale)
                if not 0 <= y < line.shape[0]:
                    continue
                lo = int(origin + (x - 1.5) * scale)
                hi = int(origin + (x + 1.5) * scale)
                seg = line[y, max(0, lo):max(0, hi)]
                widest = max(widest, int(numpy.sum((seg > 0.06) & (seg < 0.69))))
    return widest


def corner(error, x, y, steps):
    """The corner near (x, y), across then down by `steps`, where `error(x, y)` is least."""
    x = min((error(x + d, y), x + d) for d in steps)[1]
    y = min((error(x, y + d), y + d) for d in steps)[1]
    return x, y


def measure(screen, picture, box=None, sprites=(), exact=False):
    """`box` is the part of the screen the picture is centred in, or with `exact` the
    picture's own rectangle (a page may make it a device pixel off the picture's shape)."""
    x0, y0, w, h = box or (0, 0, screen.shape[1], screen.shape[0])
    screen = screen[y0:y0 + h, x0:x0 + w]
    scale = min(w / W, h / H)
    scales = (w / W, h / H) if exact else scale

    def inner(ox, oy):
        """The screen's pixels wholly inside the picture."""
        return (slice(int(numpy.ceil(ox)) + 1, int(ox + W * scale) - 1),
                slice(int(numpy.ceil(oy)) + 1, int(oy + H * scale) - 1))

    def error(ox, oy, xs, ys):
        return numpy.abs(screen[ys, xs] - ideal(picture, scales, ox, oy, xs, ys)).mean()

    # The picture's corner, as the renderer placed it, found to a tenth of a pixel on a band
    # through the picture's middle.
    cx, cy = (0, 0) if exact else ((w - W * scale) / 2, (h - H * scale) / 2)
    xs, ys = inner(cx, cy)
    band_x = slice(xs.start + (xs.stop - xs.start) // 3, xs.start + (xs.stop - xs.start) // 3 + 160)
    band_y = slice(ys.start + (ys.stop - ys.start) // 3, ys.start + (ys.stop - ys.start) // 3 + 160)
    ox, oy = corner(lambda x, y: error(x, y, band_x, band_y), cx, cy,
                    numpy.arange(-1.0, 1.01, 0.1))
    xs, ys = inner(ox, oy)
    result = {"x": x0 + ox, "y": y0 + oy, "scale": scale, "width": W * scale,
              "height": H * scale, "share": max(W * scale / w, H * scale / h),
              "error": error(ox, oy, xs, ys), "blended": blended_run(screen, picture, scale, ox, oy)}
    if sprites:
        # Over the pictures alone: each sprite's screen pixels wholly inside it, with the
        # pictures' own corner, found as above. Drawn at the screen's resolution, a flat
        # shape's edge falls on a whole screen pixel, up to half a pixel from where its
        # average would put it, and the corner found by the shapes may stand that far from the
        # pictures'.
        def sprite_error(px, py):
            errors, count = 0.0, 0
            for x, y, sw, sh in sprites:
                sxs = slice(int(numpy.ceil(px + x * scale)), int(px + (x + sw) * scale))
                sys_ = slice(int(numpy.ceil(py + y * scale)), int(py + (y + sh) * scale))
                n = (sxs.stop - sxs.start) * (sys_.stop - sys_.start)
                errors += error(px, py, sxs, sys_) * n
                count += n
            return errors / count

        near = numpy.arange(-0.6, 0.61, 0.1)
        result["sprite_error"] = sprite_error(*corner(sprite_error, ox, oy, near))
    return result


def load(path):
    return numpy.asarray(Image.open(path).convert("RGB"), dtype=numpy.float64) / 255


def sprites_of(dump):
    """The shown sprites' rectangles in game pixels, from mazeblast-sim's dump."""
    return [(e["Left"] // 15, e["Top"] // 15, e["Width"] // 15, e["Height"] // 15)
            for e in dump["elements"].values() if "Picture" in e and e["Width"] > 0]


if __name__ == "__main__":
    args = sys.argv[1:]
    sprites = ()
    if "--sprites" in args:
        at = args.index("--sprites")
        with open(args[at + 1]) as f:
            sprites = sprites_of(json.load(f))
        del args[at:at + 2]
    screen, picture = load(args[0]), load(args[1])
    box = tuple(int(v) for v in args[2:6]) if len(args) >= 6 else None
    print(json.dumps(measure(screen, picture, box, sprites)))
