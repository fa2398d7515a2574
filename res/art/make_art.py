#!/usr/bin/env python3
"""Regenerates the uninstaller's pictures next to this script.

    python3 res/art/make_art.py

Writes title.bmp (256 greys), program.ico (32x32, 16 colours), checkbox.bmp
and items.bmp (16 colours, magenta = transparent).  Everything is written
byte by byte here so the bit depth and palette are exactly what the resource
compiler and the dialog code expect; ImageMagick is only used to rasterise
the Kai font for the title.
"""

import os
import shutil
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
KAI_FONT = "/usr/share/fonts/truetype/arphic-gkai00mp/gkai00mp.ttf"

# The standard 16-colour VGA palette, in the order Windows uses for 4-bit DIBs.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8, 16)

# Letters used by the pixel drawings below; '.' is the transparent colour.
INK = {
    ".": MAGENTA, "k": BLACK, "r": MAROON, "g": GREEN, "y": OLIVE,
    "n": NAVY, "p": PURPLE, "t": TEAL, "s": SILVER, "d": GREY, "R": RED,
    "G": LIME, "Y": YELLOW, "B": BLUE, "C": CYAN, "w": WHITE,
}


def die(msg):
    sys.exit("make_art: " + msg)


def pack_rows(pixels, width, bpp):
    """Packs top-down rows of palette indices into bottom-up DIB rows."""
    stride = (width * bpp + 31) // 32 * 4
    out = bytearray()
    for row in reversed(pixels):
        if len(row) != width:
            die("row of %d pixels, expected %d" % (len(row), width))
        line = bytearray()
        if bpp == 8:
            line += bytes(row)
        elif bpp == 4:
            for x in range(0, width, 2):
                lo = row[x + 1] if x + 1 < width else 0
                line.append((row[x] << 4) | lo)
        elif bpp == 1:
            for x in range(0, width, 8):
                b = 0
                for i in range(8):
                    if x + i < width and row[x + i]:
                        b |= 0x80 >> i
                line.append(b)
        line += bytes(stride - len(line))
        out += line
    return bytes(out)


def info_header(width, height, bpp, image_size, colours):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0,
                       image_size, 0, 0, colours, 0)


def palette_bytes(palette):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)


def write_bmp(name, pixels, bpp, palette):
    height, width = len(pixels), len(pixels[0])
    if len(palette) != 1 << bpp:
        die("%s: palette must have %d entries" % (name, 1 << bpp))
    bits = pack_rows(pixels, width, bpp)
    head = info_header(width, height, bpp, len(bits), len(palette))
    pal = palette_bytes(palette)
    offset = 14 + len(head) + len(pal)
    data = (struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
            + head + pal + bits)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def write_ico(name, pixels, mask):
    """One 32x32 4-bit image; mask rows hold 1 where the screen shows through."""
    height, width = len(pixels), len(pixels[0])
    xor = pack_rows(pixels, width, 4)
    and_ = pack_rows(mask, width, 1)
    # An icon's header counts the XOR and AND bitmaps together, hence 2*height.
    head = info_header(width, 2 * height, 4, len(xor) + len(and_), 0)
    image = head + palette_bytes(VGA) + xor + and_
    data = (struct.pack("<HHH", 0, 1, 1)
            + struct.pack("<BBBBHHII", width, height, 16, 0, 1, 4,
                          len(image), 6 + 16)
            + image)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def from_art(rows, size=16):
    if len(rows) != size or any(len(r) != size for r in rows):
        die("drawing is not %dx%d: %r" % (size, size, rows))
    try:
        return [[INK[c] for c in r] for r in rows]
    except KeyError as e:
        die("unknown colour letter %s" % e)


def overlay(under, over):
    """Lays one drawing on another; '.' in the top one lets the lower show."""
    return [[u if o == MAGENTA else o for u, o in zip(ur, orow)]
            for ur, orow in zip(under, over)]


def strip(pictures):
    """Joins 16x16 pictures side by side into one bitmap strip."""
    return [sum((p[y] for p in pictures), []) for y in range(16)]


def imagemagick():
    for tool in ("/usr/bin/convert", shutil.which("magick")):
        if tool and os.access(tool, os.X_OK):
            return [tool]
    die("ImageMagick (convert or magick) is needed to draw the title")


def read_pgm(data):
    """Reads a binary 8-bit PGM (P5) into rows of 0..255 values."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    magic, w, h, maxval = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
    if magic != b"P5" or maxval != 255:
        die("ImageMagick gave an unexpected PGM (%r, max %d)" % (magic, maxval))
    pos += 1
    px = data[pos:pos + w * h]
    if len(px) != w * h:
        die("short PGM from ImageMagick")
    return [list(px[y * w:(y + 1) * w]) for y in range(h)]


def glyph(im, ch, points):
    """Coverage (0..255) of one character, cropped to its ink."""
    box = points * 3
    cmd = im + ["-size", "%dx%d" % (box, box), "xc:black", "-font", KAI_FONT,
                "-pointsize", str(points), "-fill", "white",
                "-stroke", "white", "-strokewidth", "0.6",
                "-gravity", "center", "-annotate", "+0+0", ch,
                "-colorspace", "Gray", "-depth", "8", "pgm:-"]
    cmd = [c.encode("utf-8") for c in cmd]
    run = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if run.returncode != 0:
        die("ImageMagick failed on %r: %s" % (ch, run.stderr.decode(errors="replace")))
    img = read_pgm(run.stdout)
    ys = [y for y, r in enumerate(img) if max(r) > 0]
    xs = [x for x in range(box) if any(r[x] for r in img)]
    if not ys:
        die("the Kai font drew nothing for %r" % ch)
    return [r[xs[0]:xs[-1] + 1] for r in img[ys[0]:ys[-1] + 1]]


def make_title():
    if not os.path.isfile(KAI_FONT):
        die("font missing: " + KAI_FONT + " (Debian package fonts-arphic-gkai00mp)")
    im = imagemagick()
    W, H = 160, 100
    lines = ["弈辰", "卸载"]
    margin = 3          # room for the highlight and shadow at the edges
    line_gap = 4
    char_gap = 10

    # Largest size at which both lines still fit inside the margins.
    for points in range(64, 20, -1):
        shapes = [[glyph(im, c, points) for c in line] for line in lines]
        heights = [max(len(g) for g in line) for line in shapes]
        widths = [sum(len(g[0]) for g in line) + char_gap * (len(line) - 1)
                  for line in shapes]
        if sum(heights) + line_gap <= H - 2 * margin and max(widths) <= W - 2 * margin:
            break
    else:
        die("title does not fit")

    cover = [[0] * W for _ in range(H)]
    top = (H - (sum(heights) + line_gap)) // 2
    for line, lh, lw in zip(shapes, heights, widths):
        x = (W - lw) // 2
        for g in line:
            gh, gw = len(g), len(g[0])
            y0 = top + (lh - gh) // 2
            for y in range(gh):
                for i in range(gw):
                    v = g[y][i]
                    if v:
                        cell = cover[y0 + y]
                        cell[x + i] = max(cell[x + i], v)
            x += gw + char_gap
        top += lh + line_gap

    def at(dx, dy):
        return [[cover[y - dy][x - dx] if 0 <= y - dy < H and 0 <= x - dx < W else 0
                 for x in range(W)] for y in range(H)]

    # Raised letters: dark shadow down-right, white light up-left, black face.
    layers = [(at(2, 2), 128), (at(1, 1), 96), (at(-1, -1), 255), (cover, 0)]
    grey = [[192.0] * W for _ in range(H)]
    for alpha, level in layers:
        for y in range(H):
            row, arow = grey[y], alpha[y]
            for x in range(W):
                a = arow[x] / 255.0
                if a:
                    row[x] = row[x] * (1 - a) + level * a
    pixels = [[int(v + 0.5) for v in r] for r in grey]
    write_bmp("title.bmp", pixels, 8, [(i, i, i) for i in range(256)])


def make_icon():
    N = 32
    pic = [[None] * N for _ in range(N)]

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                pic[y][x] = c

    def frame(x0, y0, x1, y1, c):
        rect(x0, y0, x1, y0, c)
        rect(x0, y1, x1, y1, c)
        rect(x0, y0, x0, y1, c)
        rect(x1, y0, x1, y1, c)

    # Monitor behind, up and to the left.
    rect(1, 1, 22, 17, SILVER)
    rect(2, 2, 21, 2, WHITE)
    rect(2, 2, 2, 16, WHITE)
    rect(3, 16, 21, 16, GREY)
    rect(21, 3, 21, 16, GREY)
    frame(1, 1, 22, 17, BLACK)
    rect(4, 4, 19, 14, NAVY)
    rect(4, 4, 19, 4, GREY)
    rect(4, 4, 4, 14, GREY)
    rect(5, 14, 19, 14, WHITE)
    rect(19, 5, 19, 14, WHITE)
    rect(6, 6, 8, 6, CYAN)
    rect(6, 6, 6, 8, CYAN)
    rect(8, 18, 15, 19, GREY)
    frame(8, 18, 15, 19, BLACK)
    rect(4, 20, 19, 22, SILVER)
    rect(5, 20, 18, 20, WHITE)
    frame(4, 20, 19, 22, BLACK)

    # Grey floppy disk in front, down and to the right.
    fx0, fy0, fx1, fy1 = 12, 12, 30, 30
    rect(fx0, fy0, fx1, fy1, GREY)
    frame(fx0, fy0, fx1, fy1, BLACK)
    pic[fy0][fx1] = None                        # cut corner
    pic[fy0 + 1][fx1] = BLACK
    pic[fy0 + 1][fx1 - 1] = BLACK
    rect(16, fy0, 26, fy0 + 7, SILVER)          # metal shutter
    frame(16, fy0, 26, fy0 + 7, BLACK)
    rect(22, fy0 + 2, 24, fy0 + 5, BLACK)       # shutter window
    rect(15, 21, 27, fy1, WHITE)                # label
    frame(15, 21, 27, fy1, BLACK)
    for y in (23, 25, 27):
        rect(17, y, 25, y, SILVER)
    pic[fy1 - 1][fx0 + 1] = BLACK               # write-protect hole

    # Red cross over everything; a maroon rim keeps it readable on grey.
    def dist2(px, py, ax, ay, bx, by):
        vx, vy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)))
        dx, dy = px - ax - t * vx, py - ay - t * vy
        return dx * dx + dy * dy

    strokes = [(3, 3, 29, 29), (29, 3, 3, 29)]
    for y in range(N):
        for x in range(N):
            d = min(dist2(x + 0.5, y + 0.5, *s) for s in strokes)
            if d <= 1.6 ** 2:
                pic[y][x] = RED
            elif d <= 2.4 ** 2:
                pic[y][x] = MAROON

    mask = [[1 if c is None else 0 for c in r] for r in pic]
    pixels = [[BLACK if c is None else c for c in r] for r in pic]
    write_ico("program.ico", pixels, mask)


def make_checkbox():
    def box(outline, inner, face, shadow, chequer=False):
        p = [[MAGENTA] * 16 for _ in range(16)]
        for y in range(2, 14):
            for x in range(1, 13):
                if x in (1, 12) or y in (2, 13):
                    p[y][x] = outline
                elif chequer:
                    p[y][x] = inner if (x + y) % 2 else face
                elif x in (2, 11) or y in (3, 12):
                    p[y][x] = inner
                else:
                    p[y][x] = face
        for x in range(2, 14):
            p[14][x] = shadow
        for y in range(3, 15):
            p[y][13] = shadow
        return p

    # Tick inside the white face (columns 3..10, rows 4..11).
    tick = [
        "......#.",
        ".....##.",
        "#...##..",
        "##.##...",
        ".###....",
        "..#.....",
    ]

    def ticked(colour):
        p = box(BLACK, SILVER, WHITE, GREY)
        for j, r in enumerate(tick):
            for i, c in enumerate(r):
                if c == "#":
                    p[5 + j][3 + i] = colour
        return p

    pictures = [
        [[MAGENTA] * 16 for _ in range(16)],
        box(BLACK, SILVER, WHITE, GREY),
        ticked(BLUE),
        ticked(GREY),
        box(GREY, SILVER, WHITE, SILVER, chequer=True),
    ]
    write_bmp("checkbox.bmp", strip(pictures), 4, VGA)


def blank():
    return [["."] * 16 for _ in range(16)]


def text(grid):
    return ["".join(r) for r in grid]


def stamp(grid, art, x, y):
    """Copies a small drawing into a 16x16 one; '.' stays see-through."""
    for j, row in enumerate(art):
        for i, c in enumerate(row):
            if c != "." and 0 <= y + j < 16 and 0 <= x + i < 16:
                grid[y + j][x + i] = c
    return grid


def disc(grid, cx, cy, r, fill, rim="k"):
    """A filled circle with a one-pixel rim, centred between pixels."""
    for y in range(16):
        for x in range(16):
            d = ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) ** 0.5
            if d <= r - 1:
                grid[y][x] = fill
            elif d <= r:
                grid[y][x] = rim
    return grid


def shifted(rows, dy):
    empty = "." * 16
    if dy < 0:
        return rows[-dy:] + [empty] * -dy
    return [empty] * dy + rows[:16 - dy]


# A disk drive seen from the front, with its top and right side showing.
DRIVE = [
    "................",
    "................",
    "................",
    "................",
    "...kkkkkkkkkkkkk",
    "..kwwwwwwwwwwwkk",
    ".kwwwwwwwwwwwkdk",
    "kkkkkkkkkkkkkkdk",
    "kwwwwwwwwwwwwkdk",
    "kwssssssssssdkdk",
    "kwssssssssssdkdk",
    "kwssssssssssdkdk",
    "kwssssssssssdkk.",
    "kddddddddddddk..",
    "kkkkkkkkkkkkkk..",
    "................",
]

FLOPPY_SLOT = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "..kkkkkkkk.dd...",
    "...wwwwwwww.....",
    "..G.............",
    "................",
    "................",
    "................",
    "................",
]

SMALL_DISK = [
    "....kkkkkkkk....",
    "....knsssnnk....",
    "....knskdnnk....",
    "....knsssnnk....",
    "....knnnnnnk....",
    "....knwwwwnk....",
    "....knwwwwnk....",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
]

WIDE_SLOT = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "..kkkkkkkkkk....",
    ".....dkkd.......",
    "..R.............",
    "................",
    "................",
    "................",
    "................",
]

WIDE_DISK = [
    "...kkkkkkkkkk...",
    "...kwwwwkkkkk...",
    "...kkkkddkkkk...",
    "...kkkdssdkkk...",
    "...kkkkddkkkk...",
    "...kkkkkkkkkk...",
    "...kkkkkkkkkk...",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
]

HARD_DISK_FRONT = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "..dddddddddd....",
    "................",
    "..G.dddddddd....",
    "................",
    "................",
    "................",
    "................",
]

CD_TRAY = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "..dkkkkkkkkd....",
    "..wwwwwwwwww....",
    "..G.......kk....",
    "................",
    "................",
    "................",
    "................",
]


def cd_above():
    g = disc(blank(), 8, 4, 4.1, "s", "d")
    stamp(g, ["ww.", "wC.", "..."], 5, 2)
    stamp(g, ["kk", "kk"], 7, 3)
    return text(g)


NET_CABLE = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    ".....kk.........",
    ".....kk.........",
    "kkkkkkkkkkkkkkkk",
    "dddddddddddddddd",
]

CABLE_CUT = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "..........R...R.",
    "...........R.R..",
    "............R...",
    "...........R.R..",
    "..........R...R.",
    "................",
]

CHIP = [
    "...s.s.s.s.s....",
    "..kkkkkkkkkkk...",
    "..kdddddddddk...",
    "..kkkkkkkkkkk...",
    "...s.s.s.s.s....",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
]

DESK = [
    "................",
    "................",
    "...........k....",
    "..........kYk...",
    "...kkkk..kYk....",
    "...kwwk...k.....",
    "...kwwk...k.....",
    "kkkkkkkkkkkkkkkk",
    "kYYYYYYYYYYYYYYk",
    "kyyyyyyyyyyyyyyk",
    "kkkkkkkkkkkkkkkk",
    ".kYyyyk....kYyk.",
    ".kykkyk....kyyk.",
    ".kYyyyk....kyyk.",
    ".kykkyk....kyyk.",
    ".kkkkkk....kkkk.",
]

COMPUTER = [
    "................",
    "..kkkkkkkkkkkk..",
    "..kwwwwwwwwwsk..",
    "..kwdddddddwsk..",
    "..kwdnnnnnnwsk..",
    "..kwdnCnnnnwsk..",
    "..kwdnnnnnnwsk..",
    "..kwdnnnnnnwsk..",
    "..kwwwwwwwwwsk..",
    "..ksssssssssdk..",
    "..kkkkkkkkkkkk..",
    ".....kddddk.....",
    ".kkkkkkkkkkkkkk.",
    ".kwwwwwwwwwwwdk.",
    ".ksssssssssGddk.",
    ".kkkkkkkkkkkkkk.",
]

CLOSED_FOLDER = [
    "................",
    "................",
    "................",
    "..kkkkk.........",
    ".kwYYYYk........",
    "kkkkkkkkkkkkkkk.",
    "kwwwwwwwwwwwwyk.",
    "kwYYYYYYYYYYYyk.",
    "kwYYYYYYYYYYYyk.",
    "kwYYYYYYYYYYYyk.",
    "kwYYYYYYYYYYYyk.",
    "kwYYYYYYYYYYYyk.",
    "kyyyyyyyyyyyyyk.",
    "kkkkkkkkkkkkkkk.",
    "................",
    "................",
]

OPEN_FOLDER = [
    "................",
    "................",
    "................",
    "..kkkkk.........",
    ".kwYYYYk........",
    "kwYYYYYYkkkkkk..",
    "kwYYYYYYYYYYYk..",
    "kwYYYkkkkkkkkkkk",
    "kwYYkwwwwwwwwwyk",
    "kwYkwYYYYYYYYyk.",
    "kwkwYYYYYYYYyk..",
    "kkwYYYYYYYYyk...",
    "kyyyyyyyyyyk....",
    "kkkkkkkkkkk.....",
    "................",
    "................",
]

DOCUMENT = [
    "..kkkkkkkk......",
    "..kwwwwwwkk.....",
    "..kwwwwwwkwk....",
    "..kwwwwwwkwwk...",
    "..kwwwwwwkkkkk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kkkkkkkkkkkk..",
]

TEXT_LINES = [
    "................",
    "................",
    "....ddddd.......",
    "................",
    "....ddddd.......",
    "................",
    "....dddddddd....",
    "................",
    "....dddddddd....",
    "................",
    "....dddddddd....",
    "................",
    "....dddddddd....",
    "................",
    "................",
    "................",
]

QUESTION = [
    "................",
    "................",
    "................",
    "......BBBB......",
    ".....BB..BB.....",
    ".....BB..BB.....",
    "........BB......",
    ".......BB.......",
    ".......BB.......",
    "................",
    ".......BB.......",
    ".......BB.......",
    "................",
    "................",
    "................",
    "................",
]

SMALL_MONITOR = [
    "kkkkkkk",
    "ktttttk",
    "ktCtttk",
    "ktttttk",
    "kkkkkkk",
    "..kdk..",
    ".kkkkk.",
]


def network():
    g = blank()
    stamp(g, SMALL_MONITOR, 0, 0)
    stamp(g, SMALL_MONITOR, 9, 0)
    stamp(g, SMALL_MONITOR, 5, 9)
    for x in range(3, 13):
        g[7][x] = "k"
    g[8][8] = "k"
    return text(g)


PRINTER = [
    "................",
    "....kkkkkkkk....",
    "....kwwwwwwk....",
    "....kwddddwk....",
    "....kwwwwwwk....",
    "..kkkkkkkkkkkk..",
    ".kwwwwwwwwwwwsk.",
    "kwwwwwwwwwwwwwsk",
    "kssssssssssssGdk",
    "kssssssssssssssk",
    "kdkkkkkkkkkkkkdk",
    "kddddddddddddddk",
    "kkkwwwwwwwwwwkkk",
    "..kwddddddddwk..",
    "..kwwwwwwwwwwk..",
    "..kkkkkkkkkkkk..",
]

BIN = [
    "................",
    "......kkkk......",
    "..kkkkkkkkkkkk..",
    ".kwwwwwwwwwwwsk.",
    ".kkkkkkkkkkkkkk.",
    "..kwsdwsdwsddk..",
    "..kwsdwsdwsddk..",
    "..kwsdwsdwsddk..",
    "..kwsdwsdwsddk..",
    "..kwsdwsdwsddk..",
    "..kwsdwsdwsddk..",
    "..kwsdwsdwsddk..",
    "...kwdwsdwsdk...",
    "...kwdwsdwsdk...",
    "...kkkkkkkkkk...",
    "................",
]

PANEL = [
    "................",
    "kkkkkkkkkkkkkkkk",
    "kwwwwwwwwwwwwwsk",
    "kwssksssksssksdk",
    "kwssksssksssksdk",
    "kwsRRRssksssksdk",
    "kwssksssksssksdk",
    "kwssksssksBBBsdk",
    "kwssksssksssksdk",
    "kwssksssksssksdk",
    "kwssksGGGsssksdk",
    "kwssksssksssksdk",
    "kwssksssksssksdk",
    "kwsssssssssssddk",
    "kddddddddddddddk",
    "kkkkkkkkkkkkkkkk",
]

WINDOW = [
    "................",
    "kkkkkkkkkkkkkkkk",
    "knnnnnnnnnnnswsk",
    "knwwnnnnnnnnkskk",
    "kkkkkkkkkkkkkkkk",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwwwwwwwwwwk",
    "kkkkkkkkkkkkkkkk",
    "................",
]

SHORTCUT = [
    "................",
    "................",
    "..kkkkkkkkkkkk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwkkkkwk..",
    "..kwwwwwwkkkwk..",
    "..kwwwwwkkkkwk..",
    "..kwwwwkkwwkwk..",
    "..kwwwkkwwwwwk..",
    "..kwwwkwwwwwwk..",
    "..kwwwkwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kkkkkkkkkkkk..",
    "................",
    "................",
]

LANDSCAPE = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "....CCCCCCCC....",
    "....CCCCCYYC....",
    "....CCCCCYYC....",
    "....CCCCCCCC....",
    "....CCgCCCCC....",
    "....CggGCCgC....",
    "....gggGGggg....",
    "....gGGGGGGg....",
    "................",
    "................",
    "................",
]

LETTER_A = [
    "................",
    "................",
    "................",
    "................",
    "......RR........",
    "......RR........",
    ".....R.RR.......",
    ".....R.RR.......",
    "....R...RR......",
    "....RRRRRR......",
    "...R.....RR.....",
    "...R.....RR.....",
    "..RRR...RRRR....",
    "................",
    "................",
    "................",
]


def clock():
    g = disc(blank(), 8, 8, 7.6, "w")
    for x, y in ((7, 1), (14, 7), (7, 14), (1, 7)):
        g[y][x] = "d"
    for y in range(3, 8):
        g[y][7] = "k"
    for x in range(8, 12):
        g[7][x] = "k"
    g[8][7] = "R"
    return text(g)


def magnifier():
    g = disc(blank(), 6, 6, 5.6, "C")
    stamp(g, ["ww", "w."], 3, 3)
    stamp(g, ["kk..", "kkk.", ".kkk", "..kk"], 9, 9)
    stamp(g, ["yy.", "yyy", ".yy"], 12, 12)
    return text(g)


def console():
    g = blank()
    for y in range(1, 15):
        g[y] = ["k"] * 16
    for x in range(1, 15):
        g[2][x] = "n"
    # "C:\" and a cursor in silver on the black screen
    for x, y in ((2, 5), (3, 5), (1, 6), (1, 7), (1, 8), (2, 9), (3, 9),
                 (5, 6), (5, 8), (7, 5), (7, 6), (8, 7), (9, 8), (9, 9),
                 (11, 9), (12, 9)):
        g[y][x] = "s"
    return text(g)


def globe():
    g = disc(blank(), 8, 8, 7.6, "B", "n")
    stamp(g, [
        "....GG.....",
        "..GGGG.....",
        ".GGGGGG....",
        "..GGGg..GG.",
        "...GG..GGG.",
        "....G..GGG.",
        ".......GG..",
        "......GG...",
    ], 2, 3)
    return text(g)


KEYBOARD = [
    "................",
    "................",
    "................",
    "................",
    "kkkkkkkkkkkkkkkk",
    "kwwwwwwwwwwwwwsk",
    "kwkwkwkwkwkwkGdk",
    "kwwwwwwwwwwwwsdk",
    "kwkwkwkwkwkwksdk",
    "kwwwwwwwwwwwwsdk",
    "kwskkkkkkkkkwsdk",
    "kddddddddddddddk",
    "kkkkkkkkkkkkkkkk",
    "................",
    "................",
    "................",
]

MOUSE = [
    "...........kk...",
    "..........k.....",
    ".........k......",
    "......kkkkk.....",
    ".....kwwkwsk....",
    "....kwwwkwwsk...",
    "....kwwwkwwsk...",
    "....kkkkkkkkk...",
    "....kwwwwwwsk...",
    "....kwwwwwwsk...",
    "....kwwwwwwsk...",
    "....kwwwwwwsk...",
    "....kswwwwssk...",
    ".....kssssdk....",
    "......kkkkk.....",
    "................",
]

SPEAKER = [
    "................",
    "................",
    "......k.........",
    ".....kk.....k...",
    "....ksk...k..k..",
    "kkkksdk....k.k..",
    "kssssdk..k.k..k.",
    "ksdddddk.k.k..k.",
    "ksdddddk.k.k..k.",
    "kssssdk..k.k..k.",
    "kkkksdk....k.k..",
    "....ksk...k..k..",
    ".....kk.....k...",
    "......k.........",
    "................",
    "................",
]

KEY = [
    "................",
    "................",
    "................",
    "................",
    "..kkkk..........",
    ".kYwYYk.........",
    "kYwkkYYkkkkkkkk.",
    "kYYk.kYYYYYYYYYk",
    "kYYk.kyyyyyyyyyk",
    "kyYYkyyykkkykyk.",
    ".kyyyyk..k.yk.k.",
    "..kkkk......k...",
    "................",
    "................",
    "................",
    "................",
]

# Position in this list is the image index the program asks for; the
# folder tree uses 7 (closed) and 8 (open).
ITEMS = [
    ("desk", [DESK]),
    ("computer", [COMPUTER]),
    ("3.5 inch floppy drive", [DRIVE, FLOPPY_SLOT, SMALL_DISK]),
    ("5.25 inch floppy drive", [DRIVE, WIDE_SLOT, WIDE_DISK]),
    ("hard drive", [DRIVE, HARD_DISK_FRONT]),
    ("CD drive", [DRIVE, CD_TRAY, cd_above()]),
    ("network drive", [shifted(DRIVE, -2), shifted(HARD_DISK_FRONT, -2), NET_CABLE]),
    ("closed folder", [CLOSED_FOLDER]),
    ("open folder", [OPEN_FOLDER]),
    ("document", [DOCUMENT]),
    ("text document", [DOCUMENT, TEXT_LINES]),
    ("help", [text(disc(blank(), 8, 7.5, 7, "Y")), QUESTION]),
    ("network", [network()]),
    ("printer", [PRINTER]),
    ("waste bin", [BIN]),
    ("settings panel", [PANEL]),
    ("program window", [WINDOW]),
    ("shortcut", [SHORTCUT]),
    ("RAM drive", [DRIVE, HARD_DISK_FRONT, CHIP]),
    ("disconnected network drive",
     [shifted(DRIVE, -2), shifted(HARD_DISK_FRONT, -2), NET_CABLE, CABLE_CUT]),
    ("picture", [DOCUMENT, LANDSCAPE]),
    ("font", [DOCUMENT, LETTER_A]),
    ("clock", [clock()]),
    ("find", [magnifier()]),
    ("console program", [console()]),
    ("world", [globe()]),
    ("keyboard", [KEYBOARD]),
    ("mouse", [MOUSE]),
    ("speaker", [SPEAKER]),
    ("key", [KEY]),
]


def make_items():
    pictures = []
    for name, layers in ITEMS:
        p = from_art(layers[0])
        for layer in layers[1:]:
            p = overlay(p, from_art(layer))
        if all(c == MAGENTA for r in p for c in r):
            die("picture %s is blank" % name)
        pictures.append(p)
    if len(pictures) != 30:
        die("items strip needs 30 pictures, has %d" % len(pictures))
    write_bmp("items.bmp", strip(pictures), 4, VGA)


def main():
    make_title()
    make_icon()
    make_checkbox()
    make_items()


if __name__ == "__main__":
    main()
