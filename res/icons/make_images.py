#!/usr/bin/env python3
"""Draws the program's icons and banner bitmaps into this folder.

    huepeek.ico       icon 107: program and tray icon (16, 20, 24, 32, 40, 48, 64, 256)
    pixel.ico         icon 108: the picture on the main dialog's pages (16 to 64)

The sizes are those of 100, 125, 150 and 200 %: a small icon (tray, title bar) of 16,
20, 24 or 32 pixels and a large one (the pages, Alt+Tab) of 32, 40, 48 or 64; 256 for
the shell's largest views of the program's file.
    banner_dark.bmp   bitmap 132: 700 x 60 banner for a dark background (black)
    banner_light.bmp  bitmap 157: 700 x 60 banner for a light background (251, 251, 251)

Icon images are PNG at every size; banners are 8-bit palettized with 96 colours,
run-length encoded where that is smaller.

Standard library only, so the images can be rebuilt on any machine with Python 3;
nothing time- or machine-dependent goes into the files, so every run writes the same
bytes. Each icon size is drawn for its own pixel grid: the lens at 16 x 16 is set
pixel by pixel, at 20 and 24 by pixel rules, the larger sizes have their own geometry
with the pixel grid's edges on whole pixels; a scaled-down big picture would turn to
mush at the tray's sizes.

    python3 make_images.py [--preview DIR]

--preview also writes PNGs to DIR for looking at the images: every icon enlarged (up
to 64 x 64 at 8x) on a light and a dark ground, and each banner as it ships at 1:1, in
a mock of the main dialog's top at 96 and 120 dpi, and enlarged 3x. They never belong
in the repository.
"""

import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------------------
# Colours: straight (not premultiplied) RGBA floats in 0..1.


def Hex(code, alpha=1.0):
    code = code.lstrip("#")
    return (int(code[0:2], 16) / 255.0, int(code[2:4], 16) / 255.0, int(code[4:6], 16) / 255.0, alpha)


def Hsv(hue, sat, val, alpha=1.0):
    """hue in turns (0..1), so the palette needs no trigonometry."""
    hue = (hue % 1.0) * 6.0
    sector = int(hue)
    frac = hue - sector
    p = val * (1.0 - sat)
    q = val * (1.0 - sat * frac)
    t = val * (1.0 - sat * (1.0 - frac))
    r, g, b = [(val, t, p), (q, val, p), (p, val, t), (p, q, val), (t, p, val), (val, p, q)][sector % 6]
    return (r, g, b, alpha)


def Mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(4))


def Clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


# Shared palette. The outline is dark enough to separate the icon from a light
# taskbar, the rim light enough to separate it from a dark one.
INK = Hex("1b1f27")
RIM_LIGHT = Hex("ffffff")
RIM_SHADE = Hex("c3cad6")
HANDLE = Hex("6f7a8c")
HANDLE_LIGHT = Hex("a9b4c5")
GRID = Hex("1b1f27")
MARK = Hex("ffffff")

# ---------------------------------------------------------------------------
# Shapes as signed distance functions (negative inside, in pixels). A pixel's
# coverage is taken at its centre over a one-pixel ramp, which is exact for edges
# on whole pixels and a fair area estimate for curves.


def Circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def Box(x0, y0, x1, y1, radius=0.0):
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius
    mx, my = (x0 + x1) / 2.0, (y0 + y1) / 2.0

    def Sdf(x, y):
        dx = abs(x - mx) - hx
        dy = abs(y - my) - hy
        outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
        return outside + min(max(dx, dy), 0.0) - radius

    return Sdf


def Capsule(ax, ay, bx, by, r):
    vx, vy = bx - ax, by - ay
    length2 = vx * vx + vy * vy

    def Sdf(x, y):
        t = Clamp01(((x - ax) * vx + (y - ay) * vy) / length2)
        return math.hypot(x - ax - vx * t, y - ay - vy * t) - r

    return Sdf


def Both(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


def Without(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def Either(*shapes):
    return lambda x, y: min(shape(x, y) for shape in shapes)


def Ring(shape, width):
    """The band of the given width just inside the shape's edge."""

    def Sdf(x, y):
        d = shape(x, y)
        return max(d, -d - width)

    return Sdf


def Stroke(ax, ay, bx, by, width):
    """A straight stroke with flat ends from a to b."""
    length = math.hypot(bx - ax, by - ay)
    ux, uy = (bx - ax) / length, (by - ay) / length
    mx, my = (ax + bx) / 2.0, (ay + by) / 2.0

    def Sdf(x, y):
        px, py = x - mx, y - my
        dx = abs(px * ux + py * uy) - length / 2.0
        dy = abs(py * ux - px * uy) - width / 2.0
        return math.hypot(max(dx, 0.0), max(dy, 0.0)) + min(max(dx, dy), 0.0)

    return Sdf


class Canvas:
    """Premultiplied RGBA floats, composited with 'over'."""

    def __init__(self, width, height, ground=None):
        self.width, self.height = width, height
        fill = [0.0, 0.0, 0.0, 0.0]
        if ground:
            fill = [ground[0], ground[1], ground[2], 1.0]
        self.px = [list(fill) for _ in range(width * height)]

    def Paint(self, sdf, colour, box=None, opacity=1.0, samples=1):
        """colour is an RGBA tuple or a function of the pixel centre giving one. With
        samples > 1 each pixel is covered by samples x samples sub-pixels, for curves
        that must stay smooth at a size where every pixel shows (the wordmark)."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        flat = not callable(colour)
        offsets = [(k + 0.5) / samples for k in range(samples)]
        for y in range(y0, y1):
            for x in range(x0, x1):
                fx, fy = x + 0.5, y + 0.5
                if samples == 1:
                    cover = Clamp01(0.5 - sdf(fx, fy))
                else:
                    cover = sum(Clamp01(0.5 - sdf(x + u, y + v) * samples) for v in offsets for u in offsets)
                    cover /= samples * samples
                if cover <= 0.0:
                    continue
                c = colour if flat else colour(fx, fy)
                a = c[3] * cover * opacity
                p = self.px[y * self.width + x]
                keep = 1.0 - a
                p[0] = c[0] * a + p[0] * keep
                p[1] = c[1] * a + p[1] * keep
                p[2] = c[2] * a + p[2] * keep
                p[3] = a + p[3] * keep

    def Put(self, x, y, colour):
        """Sets one pixel outright, for the hand-placed 16 x 16 picture."""
        a = colour[3]
        self.px[y * self.width + x] = [colour[0] * a, colour[1] * a, colour[2] * a, a]

    def Draw(self, other, ox, oy):
        for y in range(other.height):
            for x in range(other.width):
                s = other.px[y * other.width + x]
                if s[3] <= 0.0:
                    continue
                p = self.px[(y + oy) * self.width + x + ox]
                keep = 1.0 - s[3]
                for i in range(4):
                    p[i] = s[i] + p[i] * keep

    def Rgba8(self):
        """Straight RGBA bytes rows top-down; fully transparent pixels are zero."""
        out = []
        for p in self.px:
            a = p[3]
            if a <= 0.5 / 255.0:
                out.append((0, 0, 0, 0))
                continue
            rgb = tuple(int(round(Clamp01(p[i] / a) * 255.0)) for i in range(3))
            out.append(rgb + (int(round(a * 255.0)),))
        return out


# ---------------------------------------------------------------------------
# Icon 107: a magnifying glass over a magnified patch of screen pixels, the
# centre pixel boxed as the picker boxes it.


def PatchColour(u, v):
    """The colour of the magnified pixel whose centre lies at (u, v) in glass radii from
    the lens centre: a hue sweep across the glass, as if it lay over a colour
    gradient, so every neighbour of the clear orange centre pixel differs from it."""
    return Hsv(0.06 + 0.25 * u + 0.25 * v, 0.72, 0.96 - 0.08 * v)


# Per size: lens centre c (both axes) and outer radius; widths of the outline, the
# rim and the dark line inside the rim; the magnified pixel pitch and the grid line
# between pixels; handle end points (on the diagonal) and radius; the white box round
# the centre pixel and its dark edge. The centre pixel's inside must have whole-pixel
# edges, which ties c, pitch and line together.
HUEPEEK_SIZES = {
    40: dict(c=16.5, radius=15.6, outline=1.5, rim=2.6, inner=1.1, pitch=6, line=1,
             handle=(26.5, 34.5), hr=3.2, box=1, edge=1),
    64: dict(c=26.5, radius=24.7, outline=2.1, rim=4.0, inner=1.6, pitch=8, line=1,
             handle=(42.0, 56.0), hr=5.1, box=2, edge=1),
    32: dict(c=13.0, radius=12.5, outline=1.3, rim=2.2, inner=1.0, pitch=5, line=1,
             handle=(21.0, 27.5), hr=2.6, box=1, edge=1),
    48: dict(c=19.5, radius=18.5, outline=1.6, rim=3.0, inner=1.2, pitch=6, line=1,
             handle=(31.5, 42.0), hr=3.8, box=2, edge=1),
    256: dict(c=104.0, radius=97.0, outline=7.0, rim=15.0, inner=5.0, pitch=32, line=4,
              handle=(168.0, 226.0), hr=19.0, box=8, edge=4),
}


def Square(c, half, cy=None):
    cy = c if cy is None else cy
    return Box(c - half, cy - half, c + half, cy + half)


def Frame(c, inside, outside, cy=None):
    """A square ring round centre (c, cy or c) between the half-widths inside and outside."""
    return Without(Square(c, outside, cy), Square(c, inside, cy))


# The 16 x 16 picture is set pixel by pixel: at tray size every pixel is a decision.
#   K outline   W / w rim, lit / shaded   B box round the centre pixel   o the centre pixel
#   a b c / d e / f g h the magnified pixels round it (as on a keypad)
#   H / L handle, body / lit side
HUEPEEK_16 = (
    "....KKKKK.......",
    "...KWWWWWK......",
    "..KWabbbcWK.....",
    ".KWaabbbccwK....",
    "KWaaBBBBBccwK...",
    "KWddBoooBeewK...",
    "KWddBoooBeewK...",
    "KWddBoooBeewK...",
    "KWffBBBBBhhwK...",
    ".KWffggghhwK....",
    "..KwfggghwKLK...",
    "...KwwwwwKHHLK..",
    "....KKKKK.KHHLK.",
    "...........KHHLK",
    "............KHHK",
    ".............KKK",
)


def DrawArt(rows, palette):
    cv = Canvas(len(rows[0]), len(rows))
    for y, row in enumerate(rows):
        for x, key in enumerate(row):
            if key != ".":
                cv.Put(x, y, palette[key])
    return cv


def Huepeek16():
    step = 0.65  # neighbour spacing in glass radii, as at 32 x 32
    # The rim is kept off pure white here, or it would run into the box round the centre.
    palette = {"K": INK, "W": Hex("dde2ea"), "w": Hex("a3acba"), "B": MARK, "H": HANDLE, "L": HANDLE_LIGHT}
    for key, (i, j) in zip("abcdoefgh", [(i, j) for j in (-1, 0, 1) for i in (-1, 0, 1)]):
        palette[key] = PatchColour(i * step, j * step)
    return DrawArt(HUEPEEK_16, palette)


# 20 x 20 and 24 x 24, the notification area at 125 and 150 %, are set pixel by pixel
# too, by rule rather than by hand: a disc, its outline and rim in layers inward, the
# boxed centre pixel (with a dark edge round the box where there is room), the
# neighbours as on a keypad, and the handle along the diagonal. Per size: the lens's
# diameter (odd, so that the centre pixel has a centre), the rim's width in pixels,
# the half-width of the centre pixel, the box's dark edge in pixels, the handle's body
# across the diagonal and where it ends along it.
SMALL_LENS = {
    20: dict(diameter=15, rim=1, centre=1, edge=0, body=(-1, 1), end=34),
    24: dict(diameter=19, rim=2, centre=1, edge=1, body=(-1, 2), end=42),
}


def SmallLens(size):
    g = SMALL_LENS[size]
    c = (g["diameter"] - 1) // 2
    reach = g["diameter"] / 2.0 - 0.3
    disc = {(x, y) for y in range(size) for x in range(size) if (x - c) ** 2 + (y - c) ** 2 <= reach * reach}
    # Layers inward: each pixel of the disc with a side on the layer before.
    layers, rest, edge = [], set(disc), lambda p: {(p[0] + 1, p[1]), (p[0] - 1, p[1]), (p[0], p[1] + 1), (p[0], p[1] - 1)}
    outside = {(x, y) for y in range(-1, size + 1) for x in range(-1, size + 1)} - disc
    before = outside
    for _ in range(1 + g["rim"]):
        layer = {p for p in rest if edge(p) & before}
        layers.append(layer)
        rest -= layer
        before = layer
    step = 0.65  # neighbour spacing in glass radii, as at 16 and 32
    keys = {}
    for key, (i, j) in zip("abcdoefgh", [(i, j) for j in (-1, 0, 1) for i in (-1, 0, 1)]):
        keys[(i, j)] = PatchColour(i * step, j * step)
    inner = g["centre"]  # the centre pixel reaches this far from c; then the box, then its edge
    cv = Canvas(size, size)
    for (x, y) in disc:
        dx, dy = x - c, y - c
        if (x, y) in layers[0]:
            colour = INK
        elif any((x, y) in layer for layer in layers[1:]):
            colour = Hex("dde2ea") if dx + dy <= 0 else Hex("a3acba")
        elif max(abs(dx), abs(dy)) <= inner:
            colour = keys[(0, 0)]
        elif max(abs(dx), abs(dy)) == inner + 1:
            colour = MARK
        elif max(abs(dx), abs(dy)) <= inner + 1 + g["edge"]:
            colour = INK
        else:
            box = inner + 1 + g["edge"]
            band = lambda d: -1 if d < -box else 1 if d > box else 0
            colour = keys[(band(dx), band(dy))]
        cv.Put(x, y, colour)
    low, high = g["body"]
    for y in range(size):
        for x in range(size):
            if (x, y) in disc:
                continue
            along, across = x + y, x - y
            if along <= 2 * c or across < low - 1 or across > high + 1:
                continue
            if along > g["end"] or across in (low - 1, high + 1):
                cv.Put(x, y, INK)
            else:
                cv.Put(x, y, HANDLE_LIGHT if across == high else HANDLE)
    return cv


def LitRim(c, reach):
    """The rim's colour, lit from the top left: white there, cool grey at the bottom right."""

    def Colour(x, y):
        return Mix(RIM_LIGHT, RIM_SHADE, Clamp01(((x - c) + (y - c)) / (2.0 * reach) + 0.5))

    return Colour


def PaintView(cv, window, c, reach, g):
    """The magnified pixels seen through the window shape (an SDF), centred on c with
    the centre pixel boxed as the picker boxes it. Both icons share it, so that their
    pixels, grid and box are alike; reach is the window's half-width, which spreads
    the hue sweep over the window."""
    pitch, line = g["pitch"], g["line"]
    inside = (pitch - line) / 2.0  # half-width of a magnified pixel without its grid line
    assert (c - inside) == int(c - inside), "centre pixel off the pixel grid"
    if line:
        cv.Paint(window, GRID)
    n = int(math.ceil(reach / pitch)) + 1
    for j in range(-n, n + 1):
        for i in range(-n, n + 1):
            x, y = c + i * pitch, c + j * pitch
            cell = Box(x - inside, y - inside, x + inside, y + inside)
            cv.Paint(Both(cell, window), PatchColour(i * pitch / reach, j * pitch / reach),
                     box=(x - inside - 1, y - inside - 1, x + inside + 1, y + inside + 1))
    # White, with a dark edge where there is room, so that it also stands out from
    # light neighbours.
    box, edge = g["box"], g["edge"]
    if edge:
        cv.Paint(Frame(c, inside + box, inside + box + edge), INK)
    cv.Paint(Frame(c, inside, inside + box), MARK)


def DrawHuepeek(size):
    if size == 16:
        return Huepeek16()
    if size in SMALL_LENS:
        return SmallLens(size)
    g = HUEPEEK_SIZES[size]
    cv = Canvas(size, size)
    c, radius, outline = g["c"], g["radius"], g["outline"]
    h0, h1 = g["handle"]
    hr = g["hr"]

    # Handle under the lens: dark outline, body, and a light stripe along its upper side.
    cv.Paint(Capsule(h0, h0, h1, h1, hr + outline), INK)
    cv.Paint(Capsule(h0, h0, h1, h1, hr), HANDLE)
    off = hr * 0.35
    cv.Paint(Capsule(h0 + off * 0.7, h0 - off * 0.7, h1 - off * 0.3, h1 - off * 1.7, hr * 0.35),
             HANDLE_LIGHT, opacity=0.9)

    # Lens: outline, rim, the inner line, then the pixels.
    cv.Paint(Circle(c, c, radius), INK)
    rim_r = radius - outline
    cv.Paint(Circle(c, c, rim_r), LitRim(c, rim_r))
    glass_r = rim_r - g["rim"]
    if g["inner"] > 0:
        cv.Paint(Circle(c, c, glass_r), INK)
        glass_r -= g["inner"]
    PaintView(cv, Circle(c, c, glass_r), c, glass_r, g)

    # A glint on the glass: at the small sizes it would only blur the pixels.
    if size >= 256:
        glint = Without(Circle(c, c, glass_r - g["inner"] * 1.5),
                        Circle(c + glass_r * 0.22, c + glass_r * 0.22, glass_r * 0.98))
        cv.Paint(Both(glint, Box(0, 0, c, c)), Hex("ffffff", 0.4))
    return cv


# ---------------------------------------------------------------------------
# Icon 108: the lens's sibling, a square window onto the same magnified pixels, with
# the same outline, lit rim and boxed centre pixel. Straight edges lie on whole
# pixels, so the frame's widths are whole numbers here.

PIXEL_SIZES = {
    20: dict(margin=0, corner=3.0, outline=1, rim=1, inner=1, pitch=5, line=1, box=1, edge=0),
    24: dict(margin=1, corner=4.0, outline=1, rim=2, inner=1, pitch=5, line=1, box=1, edge=1),
    32: dict(margin=1, corner=5.0, outline=1, rim=2, inner=1, pitch=5, line=1, box=1, edge=1),
    40: dict(margin=2, corner=5.0, outline=2, rim=3, inner=1, pitch=5, line=1, box=1, edge=1),
    48: dict(margin=3, corner=6.0, outline=2, rim=3, inner=1, pitch=7, line=1, box=2, edge=1),
    64: dict(margin=3, corner=8.0, outline=2, rim=4, inner=1, pitch=9, line=1, box=2, edge=1),
}

#   K outline   W / w rim, lit / shaded   B box round the centre pixel   o the centre pixel
#   a b c / d e / f g h the magnified pixels round it (as on a keypad)
PIXEL_16 = (
    ".KKKKKKKKKKKKKK.",
    "KWWWWWWWWWWWWW#K",
    "KWaaaabbbbccccwK",
    "KWaaaabbbbccccwK",
    "KWaaaabbbbccccwK",
    "KWaaaBBBBBBcccwK",
    "KWdddBooooBeeewK",
    "KWdddBooooBeeewK",
    "KWdddBooooBeeewK",
    "KWdddBooooBeeewK",
    "KWfffBBBBBBhhhwK",
    "KWffffgggghhhhwK",
    "KWffffgggghhhhwK",
    "KWffffgggghhhhwK",
    "K#wwwwwwwwwwwwwK",
    ".KKKKKKKKKKKKKK.",
)


def Pixel16():
    step = 0.65  # neighbour spacing in window half-widths, as in the lens
    palette = {"K": INK, "W": Hex("dde2ea"), "w": Hex("a3acba"), "#": Hex("c0c7d2"), "B": MARK}
    for key, (i, j) in zip("abcdoefgh", [(i, j) for j in (-1, 0, 1) for i in (-1, 0, 1)]):
        palette[key] = PatchColour(i * step, j * step)
    return DrawArt(PIXEL_16, palette)


def DrawPixel(size):
    if size == 16:
        return Pixel16()
    g = PIXEL_SIZES[size]
    cv = Canvas(size, size)
    c = size / 2.0
    edge, corner = float(g["margin"]), g["corner"]

    def Window(inset):
        far = size - edge - inset
        return Box(edge + inset, edge + inset, far, far, max(corner - inset, 0.0))

    cv.Paint(Window(0), INK)
    rim = g["outline"]
    cv.Paint(Window(rim), LitRim(c, c - edge - rim))
    view = rim + g["rim"]
    if g["inner"]:
        cv.Paint(Window(view), INK)
        view += g["inner"]
    PaintView(cv, Window(view), c, c - edge - view, g)
    return cv


# ---------------------------------------------------------------------------
# Banners: the program icon, the product name as a wordmark, and at the right a
# halftone band of magnified pixels in the icon's colours round one boxed pixel, as
# the picker boxes it. The band's pixels shrink away from the boxed one, so it ends
# in the banner's own ground without a fade to a second colour; the ground is exactly
# the colour the dialog paints round the bitmap, so no edge shows at any size.

BANNER_W, BANNER_H = 700, 60
# The banner control is 467 x 37 dialog units, 700 x 60 pixels with the dialog font at
# 96 dpi, but it starts 47 units left of the dialog and ends 32 units right of it:
# at 96 dpi only x 70 to 652 of the bitmap shows. At 120 dpi the control grows round
# the centred bitmap and all of it shows, at the dialog's left edge. So the icon and
# the wordmark lie inside the part that always shows, and the band ends before 652.
BANNER_SHOWN = (70, 652)
BANNER_ICON = (79, 6)  # top left of the 48 x 48 program icon

# The wordmark, in banner pixels: the left end, the baseline, x-height, cap height,
# ascender and descender, stem and bar widths, the overshoot of round letters, and
# the space after each letter. Stems and bars have whole widths on whole pixels.
WORDMARK = dict(x=141, base=41, xh=19, cap=26, asc=27, desc=6, stem=4, bar=4, over=0.5,
                gaps=(4, 3, 3, 2, 2, 3, 0))

# The halftone band: the boxed pixel's centre, the pitch and the full size of a
# magnified pixel, the rows, and the columns to the left and right of the boxed one.
HALFTONE = dict(x=565, y=30, pitch=12, cell=10, rows=3, columns=(-19, 6))


def Letter(key, x0, w):
    """The SDF, its painting box and its advance for one letter of the wordmark."""
    base, xh, stem, bar, over = w["base"], w["xh"], w["stem"], w["bar"], w["over"]
    top = base - xh

    def Bowl(width):
        # An x-height ring, round at the ends, slightly over the x-height and baseline.
        return Ring(Box(x0, top - over, x0 + width, base + over, min(width, xh + 2 * over) / 2.0), stem)

    if key == "H":
        width, cap_top = 18, base - w["cap"]
        middle = round(cap_top + w["cap"] / 2.0)
        sdf = Either(Box(x0, cap_top, x0 + stem, base), Box(x0 + width - stem, cap_top, x0 + width, base),
                     Box(x0 + stem - 0.5, middle - bar / 2.0, x0 + width - stem + 0.5, middle + bar / 2.0))
        return sdf, (x0 - 1, cap_top - 1, x0 + width + 1, base + 1), width
    if key == "u":
        width = 15
        # A ring running far above the x-height, cut there: straight sides, round bottom.
        cup = Both(Ring(Box(x0, top - 20, x0 + width, base + over, width / 2.0), stem),
                   Box(x0 - 1, top, x0 + width + 1, base + 2))
        sdf = Either(cup, Box(x0 + width - stem, top, x0 + width, base))
        return sdf, (x0 - 1, top - 1, x0 + width + 1, base + 2), width
    if key == "e":
        width = 16
        middle = top + xh / 2.0 - 0.5
        # The opening between the bar and the lower terminal, which ends level.
        opening = Box(x0 + width / 2.0, middle + bar / 2.0, x0 + width + 1, base - xh * 0.24)
        ring = Without(Bowl(width), opening)
        sdf = Either(ring, Box(x0 + 1, middle - bar / 2.0, x0 + width - 1, middle + bar / 2.0))
        return sdf, (x0 - 1, top - 2, x0 + width + 1, base + 2), width
    if key == "p":
        width = 16
        sdf = Either(Bowl(width), Box(x0, top, x0 + stem, base + w["desc"]))
        return sdf, (x0 - 1, top - 2, x0 + width + 1, base + w["desc"] + 1), width
    if key == "k":
        width, asc_top = 14, base - w["asc"]
        thick = stem * 1.1  # diagonals look thinner than stems of the same width
        slope = xh * 0.64 / (width - stem)
        jx, jy = x0 + stem, base - xh * 0.36  # where the arm meets the stem
        arm = Stroke(jx - 3, jy + 3 * slope, x0 + width + 3, top - 3 * slope, thick)
        lx = jx + (width - stem) * 0.38
        leg = Stroke(lx, jy - (lx - jx) * slope, x0 + width + 1.5, base + 2.5, thick)
        # Both diagonals run past the x-height and baseline and are cut level there.
        diagonals = Both(Either(arm, leg), Box(x0 + stem * 0.5, top, x0 + width + 0.6, base))
        sdf = Either(Box(x0, asc_top, x0 + stem, base), diagonals)
        return sdf, (x0 - 1, asc_top - 1, x0 + width + 2, base + 1), width
    raise KeyError(key)


def PaintWordmark(cv, colour):
    w = WORDMARK
    x = w["x"]
    for key, gap in zip("Huepeek", w["gaps"]):
        sdf, box, width = Letter(key, x, w)
        cv.Paint(sdf, colour, box=box, samples=4)
        x += width + gap


def PaintHalftone(cv, edge_colour):
    h = HALFTONE
    fx, fy, pitch, cell, rows = h["x"], h["y"], h["pitch"], h["cell"], h["rows"]
    first, last = h["columns"]
    for j in range(rows):
        y = fy + (j - (rows - 1) // 2) * pitch
        for i in range(first, last + 1):
            x = fx + i * pitch
            # Whole sizes on whole pixels keep every square crisp at 1:1; they shrink by
            # one pixel a step away from the boxed pixel, the outer rows two pixels smaller.
            steps = int(round((cell - 2) * abs(i) / float(-first if i < 0 else last)))
            size = cell - steps - 2 * abs(j - rows // 2)
            if size < 2:
                continue
            x0, y0 = x - size // 2, y - size // 2
            # The same hue sweep as the icons' magnified pixels, spread over the band.
            colour = PatchColour((x - fx) / 160.0, (y - fy) / 160.0)
            cv.Paint(Box(x0, y0, x0 + size, y0 + size, min(2.0, size * 0.2)), colour,
                     box=(x0 - 1, y0 - 1, x0 + size + 1, y0 + size + 1))
    # The boxed pixel, boxed as in the icons: white, edged dark where the ground is light.
    half = cell / 2.0
    if edge_colour:
        cv.Paint(Frame(fx, half + 2, half + 3, fy), edge_colour)
    cv.Paint(Frame(fx, half, half + 2, fy), MARK)


def DrawBanner(dark):
    cv = Canvas(BANNER_W, BANNER_H, BannerGround(dark))
    cv.Draw(DrawHuepeek(48), *BANNER_ICON)
    PaintWordmark(cv, Hex("f2f4f7") if dark else INK)
    PaintHalftone(cv, None if dark else INK)
    return cv


def BannerGround(dark):
    """The colour the dialog fills the banner control with before it draws the bitmap."""
    return Hex("000000") if dark else Hex("fbfbfb")


# ---------------------------------------------------------------------------
# File formats.


def PngBytes(width, height, rgba, smallest=True):
    """RGBA PNG. For what ships, tries every row filter and both deflate strategies and
    keeps the smallest: flat icon art often packs best unfiltered."""
    rows = [bytes(v for p in rgba[y * width:(y + 1) * width] for v in p) for y in range(height)]
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return _Png([(b"IHDR", header), (b"IDAT", _Deflated(rows, 4, smallest))])


def IndexedPngBytes(width, height, palette, indices):
    """PNG of up to 256 RGBA colours: a palette, the alphas that are not opaque, one byte
    per pixel."""
    rows = [bytes(indices[y * width:(y + 1) * width]) for y in range(height)]
    alphas = bytes(c[3] for c in palette).rstrip(b"\xff")
    chunks = [(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0)),
              (b"PLTE", b"".join(bytes(c[:3]) for c in palette))]
    if alphas:
        chunks.append((b"tRNS", alphas))
    chunks.append((b"IDAT", _Deflated(rows, 1, True)))
    return _Png(chunks)


def _Png(chunks):
    out = b"\x89PNG\r\n\x1a\n"
    for kind, data in chunks + [(b"IEND", b"")]:
        crc = zlib.crc32(kind + data) & 0xFFFFFFFF
        out += struct.pack(">I", len(data)) + kind + data + struct.pack(">I", crc)
    return out


def _Deflated(rows, bpp, smallest):
    best = None
    for kind in (None, 0, 1, 2, 3, 4) if smallest else (1,):
        raw = bytearray()
        prev = bytes(len(rows[0]))
        for row in rows:
            raw += _FilterRow(row, prev, bpp, kind)
            prev = row
        for strategy in (zlib.Z_DEFAULT_STRATEGY, zlib.Z_FILTERED):
            packer = zlib.compressobj(9, zlib.DEFLATED, 15, 9, strategy)
            idat = packer.compress(bytes(raw)) + packer.flush()
            if best is None or len(idat) < len(best):
                best = idat
    return best


def _FilterRow(row, prev, bpp, only=None):
    """One PNG filter for every row (only = 0..4), or per row the one with the smallest
    sum of absolute residuals (the usual heuristic)."""
    best = None
    for kind in range(5) if only is None else (only,):
        out = bytearray([kind])
        for i, v in enumerate(row):
            left = row[i - bpp] if i >= bpp else 0
            up = prev[i]
            ul = prev[i - bpp] if i >= bpp else 0
            if kind == 0:
                pred = 0
            elif kind == 1:
                pred = left
            elif kind == 2:
                pred = up
            elif kind == 3:
                pred = (left + up) // 2
            else:
                pa, pb, pc = abs(up - ul), abs(left - ul), abs(left + up - 2 * ul)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else ul
            out.append((v - pred) & 0xFF)
        cost = sum(b if b < 128 else 256 - b for b in out[1:])
        if best is None or cost < best[0]:
            best = (cost, out)
    return best[1]


def IconImage(size, rgba, colours=None):
    """PNG, which Windows reads in icons of every size since Vista (a fifth of the DIB at
    16 x 16, a third to a half of it above), indexed where the picture has at most 256
    colours and that packs smaller. colours: first reduce the picture to that many
    (HUEPEEK_COLOURS)."""
    if colours:
        palette, indices = Palettize(rgba, [(0, 0, 0, 0)], colours, alpha=True, refine=30)
        rgba = [palette[i] for i in indices]
    best = PngBytes(size, size, rgba)
    if len(set(rgba)) <= 256:
        indexed = IndexedPngBytes(size, size, *Palettize(rgba, [], 256, alpha=True))
        if len(indexed) < len(best):
            best = indexed
    return best


# The program icon's larger images have some 170 to 1,000 colours, mostly the smoothed
# edges of the lens and handle and the rim's shading. Reduced to these many, the image
# of 40 to 64 pixels keeps every pixel within 4 of 255 of its drawn colour; the one of
# 256, whose bytes would otherwise double, within 25 (the mean a third of one), and its
# rim's shading and glint show no steps. Each is a tenth to a sixth smaller for it.
HUEPEEK_COLOURS = {40: 128, 48: 160, 64: 224, 256: 112}


def IcoBytes(images):
    """images: list of (size, image bytes), smallest first; 256 is stored as 0."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        body += data
    return out + body


def Palettize(rgba, exact, limit=256, alpha=False, refine=0):
    """Up to limit colours: every colour when there are few enough, else a median cut that
    splits the box of colours with the largest error (weighted by use) at its weighted
    median, then refine rounds that move the colours closer to what they stand for (below).
    Colours are RGB of an opaque picture, or RGBA with alpha as a fourth axis. The colours
    in exact (the ground) are kept as they are. Returns the palette (exact colours first)
    and one index per pixel."""
    counts = {}
    keys = []
    for pixel in rgba:
        assert alpha or pixel[3] == 255
        key = tuple(pixel) if alpha else tuple(pixel[:3])
        keys.append(key)
        counts[key] = counts.get(key, 0) + 1
    axes = range(4 if alpha else 3)
    exact = [c for c in exact if c in counts]
    rest = sorted(c for c in counts if c not in exact)
    if len(exact) + len(rest) <= limit:
        palette = exact + rest
    else:

        def Mean(box):
            total = sum(counts[c] for c in box)
            return tuple(sum(c[i] * counts[c] for c in box) / total for i in axes)

        def Error(box):
            m = Mean(box)
            return sum(counts[c] * sum((c[i] - m[i]) ** 2 for i in axes) for c in box)

        boxes = [(Error(rest), rest)]
        while len(boxes) < limit - len(exact):
            boxes.sort(key=lambda item: -item[0])
            error, box = boxes[0]
            if error <= 0.0:
                break
            spans = [max(c[i] for c in box) - min(c[i] for c in box) for i in axes]
            axis = spans.index(max(spans))
            box = sorted(box, key=lambda c: (c[axis], c))
            half, seen = sum(counts[c] for c in box) / 2.0, 0
            for cut, c in enumerate(box):
                seen += counts[c]
                if seen >= half:
                    break
            cut = min(max(cut + 1, 1), len(box) - 1)
            boxes[0:1] = [(Error(box[:cut]), box[:cut]), (Error(box[cut:]), box[cut:])]
        palette = exact + sorted(tuple(int(round(v)) for v in Mean(box)) for _, box in boxes)

    def Nearest(c):
        if c in exact:
            return exact.index(c)
        return min(range(len(palette)), key=lambda k: (sum((c[i] - palette[k][i]) ** 2 for i in axes), k))

    lookup = {c: Nearest(c) for c in counts}
    # The median cut's boxes are a first guess: each colour then moves to the mean of the
    # colours nearest to it, and the colours choose again, until nothing changes. Weighted
    # by the square root of use, so that the ground's many pixels do not leave the small
    # parts of the picture (the icon's glass, the halftone's rare hues) too few colours.
    for _ in range(refine if len(palette) < len(counts) else 0):
        members = {}
        for c in counts:
            members.setdefault(lookup[c], []).append(c)
        moved = list(palette)
        for k, box in members.items():
            if k < len(exact):
                continue
            weights = [counts[c] ** 0.5 for c in box]
            total = sum(weights)
            moved[k] = tuple(int(round(sum(c[i] * w for c, w in zip(box, weights)) / total)) for i in axes)
        if moved == palette:
            break
        palette = moved
        lookup = {c: Nearest(c) for c in counts}
    return palette, [lookup[key] for key in keys]


def Rle8(rows):
    """BI_RLE8 of rows of palette indices (bottom row first): per row the cheapest mix of
    encoded runs (2 bytes for up to 255 equal pixels) and absolute runs (2 bytes, then 3 to
    255 pixels padded to an even count), an end of line after every row but the last, then
    the end of the bitmap; no deltas, so every pixel is written."""
    out = bytearray()
    for y, row in enumerate(rows):
        out += _Rle8Row(row)
        out.extend((0, 1) if y == len(rows) - 1 else (0, 0))
    return bytes(out)


def _Rle8Row(row):
    """The cheapest encoding of one row: cost[i] is that of the first i pixels, found from
    the cheapest start of the last run. For absolute runs, ending at i the run of k pixels
    costs 2 + k + (k & 1): per parity of its start, the least of cost[j] - j over the
    starts in reach, kept in a queue rising from front to back."""
    n = len(row)
    cost = [0] + [None] * n
    step = [None] * (n + 1)  # (start, absolute) of the last run of the cheapest way to i
    queues = ([], [])  # per parity of j: starts j with rising cost[j] - j
    heads = [0, 0]
    same = 0  # how many pixels before i equal row[i - 1]
    for i in range(1, n + 1):
        j = i - 3  # the newest start of an absolute run that ends here
        if j >= 0:
            q = queues[j & 1]
            while len(q) > heads[j & 1] and cost[q[-1]] - q[-1] >= cost[j] - j:
                q.pop()
            q.append(j)
        same = same + 1 if i > 1 and row[i - 1] == row[i - 2] else 1
        best = None
        for start in range(max(i - same, i - 255), i):
            c = cost[start] + 2
            if best is None or c < best[0]:
                best = (c, start, False)
        for parity in (0, 1):
            q = queues[parity]
            while len(q) > heads[parity] and q[heads[parity]] < i - 255:
                heads[parity] += 1
            if len(q) > heads[parity]:
                start = q[heads[parity]]
                c = cost[start] + 2 + (i - start) + ((i - start) & 1)
                if c < best[0]:
                    best = (c, start, True)
        cost[i] = best[0]
        step[i] = best[1:]
    runs = []
    i = n
    while i > 0:
        start, absolute = step[i]
        runs.append((start, i, absolute))
        i = start
    out = bytearray()
    for start, end, absolute in reversed(runs):
        if absolute:
            out.extend(bytes((0, end - start)) + bytes(row[start:end]) + bytes((end - start) & 1))
        else:
            out.extend((end - start, row[start]))
    return out


def UnRle8(data, width, height):
    """The decoder of Rle8's subset, to prove every file before it is written."""
    rows, row, i = [], [], 0
    while i < len(data):
        count, value = data[i], data[i + 1]
        i += 2
        if count:
            row += [value] * count
        elif value in (0, 1):
            rows.append(row)
            row = []
            if value == 1:
                break
        else:
            row += list(data[i:i + value])
            i += value + (value & 1)
    assert i == len(data) and len(rows) == height and all(len(r) == width for r in rows)
    return rows


# The banners' colours: about 450 drawn, of which the icon's glass edges, the wordmark's
# edges and the halftone's corners need few; at 96 no pixel is further than about 40 of
# 255 from its drawn colour, and the mean error is a third of one, which no eye finds at
# 1:1 or enlarged. Each palette entry left out saves 4 bytes, and fewer colours make runs.
BANNER_COLOURS = 96


def BmpBytes(width, height, rgba, ground):
    """An 8-bit palettized BMP of BANNER_COLOURS colours, BI_RLE8 when that is smaller
    than BI_RGB, bottom-up; the ground is palette entry 0 and keeps its exact colour."""
    palette, indices = Palettize(rgba, [ground], BANNER_COLOURS, refine=30)
    rows = [indices[y * width:(y + 1) * width] for y in range(height - 1, -1, -1)]
    stride = (width + 3) & ~3
    plain = b"".join(bytes(row) + bytes(stride - width) for row in rows)
    packed = Rle8(rows)
    assert UnRle8(packed, width, height) == rows
    compression, pixels = (1, packed) if len(packed) < len(plain) else (0, plain)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, compression, len(pixels), 2835, 2835,
                       len(palette), 0)
    offset = 14 + len(info) + len(colours)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    shipped = [palette[i] + (255,) for i in indices]
    return file_header + info + colours + pixels, shipped


# ---------------------------------------------------------------------------
# Previews.


def Preview(path, canvas, scale=8):
    """The image on a light and on a dark ground side by side, each pixel a scale x scale block."""
    grounds = [Hex("f3f3f3"), Hex("202020")]
    w, h = canvas.width, canvas.height
    rgba = canvas.Rgba8()
    pw, ph = (w * scale + scale) * len(grounds), h * scale
    rows = []
    for y in range(ph):
        for ground in grounds:
            gb = tuple(int(round(v * 255)) for v in ground[:3])
            for x in range(w * scale + scale):
                sx, sy = x // scale, y // scale
                if sx >= w:
                    rows.append(gb + (255,))
                    continue
                r, g, b, a = rgba[sy * w + sx]
                k = a / 255.0
                mixed = tuple(int(round(cc * k + gg * (1 - k))) for cc, gg in zip((r, g, b), gb))
                rows.append(mixed + (255,))
    with open(path, "wb") as f:
        f.write(PngBytes(pw, ph, rows, smallest=False))


def PreviewBanner(stem, shipped, dark):
    """The banner as it ships (after its palette): at 1:1; in a mock of the main
    dialog's top at 96 and at 120 dpi, where the control is cut by the dialog's edges
    and filled round the bitmap; and its shown part enlarged 3x."""
    def Rgba(code):
        return tuple(int(code[i:i + 2], 16) for i in (0, 2, 4)) + (255,)

    ground = Rgba("000000" if dark else "fbfbfb")
    face = Rgba("202020" if dark else "f0f0f0")
    shade, light = (Rgba("3c3c3c"), Rgba("101010")) if dark else (Rgba("a0a0a0"), Rgba("ffffff"))
    button, button_edge = (Rgba("333333"), Rgba("4a4a4a")) if dark else (Rgba("e1e1e1"), Rgba("adadad"))

    def Fill(pixels, width, x0, y0, x1, y1, colour):
        for y in range(max(y0, 0), y1):
            for x in range(max(x0, 0), min(x1, width)):
                pixels[y * width + x] = colour

    def Dialog(scale):
        # The client is 388 dialog units wide, the control 467 x 37 units from -47, the
        # etched line under it at 37, the page buttons 57 x 15 at 44; the dialog font's
        # base units are 6 x 13 pixels at 96 dpi.
        px = lambda units: int(units * 6 * scale / 4.0)
        py = lambda units: int(units * 13 * scale / 8.0)
        width, height = px(388), py(66)
        pixels = [face] * (width * height)
        left, strip_w, strip_h = px(-47), px(467), py(37)
        Fill(pixels, width, left, 0, left + strip_w, strip_h, ground)
        ox, oy = left + ((strip_w - BANNER_W) >> 1), (strip_h - BANNER_H) >> 1
        for y in range(BANNER_H):
            for x in range(BANNER_W):
                if 0 <= ox + x < width and 0 <= oy + y < height:
                    pixels[(oy + y) * width + ox + x] = shipped[y * BANNER_W + x]
        Fill(pixels, width, 0, py(37), width, py(37) + 1, shade)
        Fill(pixels, width, 0, py(37) + 1, width, py(37) + 2, light)
        for x_units in (7, 66, 125, 264, 324):
            x0, y0, x1, y1 = px(x_units), py(44), px(x_units + 57), py(44 + 15)
            Fill(pixels, width, x0, y0, x1, y1, button_edge)
            Fill(pixels, width, x0 + 1, y0 + 1, x1 - 1, y1 - 1, button)
        return width, height, pixels

    with open(stem + ".png", "wb") as f:
        f.write(PngBytes(BANNER_W, BANNER_H, shipped, smallest=False))
    parts = [Dialog(1.0), Dialog(1.25)]
    width = max(w for w, _, _ in parts) + 16
    height = sum(h + 16 for _, h, _ in parts) + 16
    sheet = [(128, 128, 128, 255)] * (width * height)
    y0 = 16
    for w, h, pixels in parts:
        for y in range(h):
            sheet[(y0 + y) * width + 8:(y0 + y) * width + 8 + w] = pixels[y * w:(y + 1) * w]
        y0 += h + 16
    with open(stem + "_dialog.png", "wb") as f:
        f.write(PngBytes(width, height, sheet, smallest=False))
    # The shown part in two halves, one above the other, each pixel 3 x 3.
    x0, x1 = BANNER_SHOWN
    half, scale = (x1 - x0 + 1) // 2, 3
    zoom = []
    for left in (x0, x0 + half):
        for y in range(BANNER_H * scale):
            row = shipped[(y // scale) * BANNER_W:(y // scale + 1) * BANNER_W]
            zoom += [row[min(left + x // scale, BANNER_W - 1)] for x in range(half * scale)]
    with open(stem + "_zoom.png", "wb") as f:
        f.write(PngBytes(half * scale, 2 * BANNER_H * scale, zoom, smallest=False))


def Main(argv):
    preview_dir = None
    if len(argv) == 2 and argv[0] == "--preview":
        preview_dir = argv[1]
        os.makedirs(preview_dir, exist_ok=True)
    elif argv:
        sys.stderr.write("usage: make_images.py [--preview DIR]\n")
        return 2

    outputs = {}
    images = []
    for size in (16, 20, 24, 32, 40, 48, 64, 256):
        cv = DrawHuepeek(size)
        rgba = cv.Rgba8()
        data = IconImage(size, rgba, HUEPEEK_COLOURS.get(size))
        images.append((size, data))
        if preview_dir:
            Preview(os.path.join(preview_dir, "huepeek_%d.png" % size), cv, 8 if size < 256 else 2)
    outputs["huepeek.ico"] = IcoBytes(images)

    images = []
    for size in (16, 20, 24, 32, 40, 48, 64):
        cv = DrawPixel(size)
        images.append((size, IconImage(size, cv.Rgba8())))
        if preview_dir:
            Preview(os.path.join(preview_dir, "pixel_%d.png" % size), cv, 8 if size < 256 else 2)
    outputs["pixel.ico"] = IcoBytes(images)

    for name, dark in (("banner_dark.bmp", True), ("banner_light.bmp", False)):
        ground = tuple(int(round(v * 255.0)) for v in BannerGround(dark)[:3])
        outputs[name], shipped = BmpBytes(BANNER_W, BANNER_H, DrawBanner(dark).Rgba8(), ground)
        if preview_dir:
            PreviewBanner(os.path.join(preview_dir, name[:-4]), shipped, dark)

    for name in sorted(outputs):
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(outputs[name])
        print("%-18s %7d bytes" % (name, len(outputs[name])))
    return 0


if __name__ == "__main__":
    sys.exit(Main(sys.argv[1:]))
