#!/usr/bin/env python3
"""Draws the program's icons and banner bitmaps into this folder.

    huepeek.ico       icon 107: program and tray icon (16, 32, 48, 256)
    pixel.ico         icon 108: the picture on the main dialog's pages (16, 32, 48)
    banner_dark.bmp   bitmap 132: 700 x 60 banner for a dark background
    banner_light.bmp  bitmap 157: 700 x 60 banner for a light background

Standard library only, so the images can be rebuilt on any machine with Python 3;
nothing time- or machine-dependent goes into the files, so every run writes the same
bytes. Each icon size is drawn for its own pixel grid: 16 x 16 is set pixel by pixel,
the larger sizes have their own geometry with the pixel grid's edges on whole pixels;
a scaled-down big picture would turn to mush at 16 x 16 in the tray.

    python3 make_images.py [--preview DIR]

--preview also writes enlarged PNGs of every image (icons up to 48 x 48 at 8x) on a
light and a dark ground to DIR, for looking at them; they never belong in the repository.
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
    32: dict(c=13.0, radius=12.5, outline=1.3, rim=2.2, inner=1.0, pitch=5, line=1,
             handle=(21.0, 27.5), hr=2.6, box=1, edge=1),
    48: dict(c=19.5, radius=18.5, outline=1.6, rim=3.0, inner=1.2, pitch=6, line=1,
             handle=(31.5, 42.0), hr=3.8, box=2, edge=1),
    256: dict(c=104.0, radius=97.0, outline=7.0, rim=15.0, inner=5.0, pitch=32, line=4,
              handle=(168.0, 226.0), hr=19.0, box=8, edge=4),
}


def Square(c, half):
    return Box(c - half, c - half, c + half, c + half)


def Frame(c, inside, outside):
    """A square ring round centre c between the half-widths inside and outside."""
    return Without(Square(c, outside), Square(c, inside))


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
    32: dict(margin=1, corner=5.0, outline=1, rim=2, inner=1, pitch=5, line=1, box=1, edge=1),
    48: dict(margin=3, corner=6.0, outline=2, rim=3, inner=1, pitch=7, line=1, box=2, edge=1),
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
        return Box(edge + inset, edge + inset, size - edge - inset, size - edge - inset, max(corner - inset, 0.0))

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
# Banners: a quiet band of magnified pixels running through the spectrum, fading
# into the dialog's banner background at both ends, with the program icon at the left.

BANNER_W, BANNER_H = 700, 60


def DrawBanner(dark):
    ground = BannerGround(dark)
    cv = Canvas(BANNER_W, BANNER_H, ground)
    pitch, cell, rows = 12, 10, 3
    top = (BANNER_H - rows * pitch + pitch - cell) // 2
    first = 80
    count = (BANNER_W - first) // pitch
    for k in range(count):
        t = k / float(count - 1)
        # Fades in quickly after the icon and out slowly towards the right end, so
        # the band melts into the banner control's own background when it is cut.
        fade = Clamp01(min(t / 0.06, (1.0 - t) / 0.45))
        fade = fade * fade * (3.0 - 2.0 * fade)
        for row in range(rows):
            v = row - (rows - 1) / 2.0
            weight = 1.0 - 0.45 * abs(v)
            if dark:
                colour = Hsv(0.58 + t * 0.9 + 0.02 * v, 0.55, 0.88 - 0.1 * v)
            else:
                colour = Hsv(0.58 + t * 0.9 + 0.02 * v, 0.62, 0.95 - 0.08 * v)
            x0, y0 = first + k * pitch, top + row * pitch
            cv.Paint(Box(x0, y0, x0 + cell, y0 + cell, 1.5), colour, box=(x0, y0, x0 + cell, y0 + cell),
                     opacity=fade * weight)
    icon = DrawHuepeek(48)
    cv.Draw(icon, 18, (BANNER_H - 48) // 2)
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
    best = None
    for kind in (None, 0, 1, 2, 3, 4) if smallest else (1,):
        raw = bytearray()
        prev = bytes(width * 4)
        for row in rows:
            raw += _FilterRow(row, prev, kind)
            prev = row
        for strategy in (zlib.Z_DEFAULT_STRATEGY, zlib.Z_FILTERED):
            packer = zlib.compressobj(9, zlib.DEFLATED, 15, 9, strategy)
            idat = packer.compress(bytes(raw)) + packer.flush()
            if best is None or len(idat) < len(best):
                best = idat

    def Chunk(kind, data):
        crc = zlib.crc32(kind + data) & 0xFFFFFFFF
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", crc)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + Chunk(b"IHDR", header) + Chunk(b"IDAT", best) + Chunk(b"IEND", b"")


def _FilterRow(row, prev, only=None):
    """One PNG filter for every row (only = 0..4), or per row the one with the smallest
    sum of absolute residuals (the usual heuristic)."""
    bpp = 4
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


def IconDib(size, rgba):
    """BITMAPINFOHEADER (height doubled for the mask), BGRA bottom-up, then the AND mask."""
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for r, g, b, a in rgba[y * size:(y + 1) * size]:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(size):
            if rgba[y * size + x][3] == 0:
                row[x >> 3] |= 0x80 >> (x & 7)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def IconImage(size, rgba):
    """32 x 32 and up as PNG, which Windows reads in icons since Vista (about a third
    of the size); 16 x 16 stays a DIB, which every consumer of small icons reads."""
    return PngBytes(size, size, rgba) if size >= 32 else IconDib(size, rgba)


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


def BmpBytes(width, height, rgba):
    """24-bit BI_RGB, bottom-up, from an opaque picture."""
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for r, g, b, a in rgba[y * width:(y + 1) * width]:
            assert a == 255
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return file_header + info + bytes(pixels)


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
    for size in (16, 32, 48, 256):
        cv = DrawHuepeek(size)
        rgba = cv.Rgba8()
        data = IconImage(size, rgba)
        images.append((size, data))
        if preview_dir:
            Preview(os.path.join(preview_dir, "huepeek_%d.png" % size), cv, 8 if size < 256 else 2)
    outputs["huepeek.ico"] = IcoBytes(images)

    images = []
    for size in (16, 32, 48):
        cv = DrawPixel(size)
        images.append((size, IconImage(size, cv.Rgba8())))
        if preview_dir:
            Preview(os.path.join(preview_dir, "pixel_%d.png" % size), cv)
    outputs["pixel.ico"] = IcoBytes(images)

    for name, dark in (("banner_dark.bmp", True), ("banner_light.bmp", False)):
        cv = DrawBanner(dark)
        outputs[name] = BmpBytes(BANNER_W, BANNER_H, cv.Rgba8())
        if preview_dir:
            Preview(os.path.join(preview_dir, name.replace(".bmp", ".png")), cv, 2)

    for name in sorted(outputs):
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(outputs[name])
        print("%-18s %7d bytes" % (name, len(outputs[name])))
    return 0


if __name__ == "__main__":
    sys.exit(Main(sys.argv[1:]))
