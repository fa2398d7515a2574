#!/usr/bin/env python3
"""Regenerates the uninstaller's pictures next to this script.

    python3 res/art/make_art.py

Writes title.bmp (256 greys), program.ico (32x32, 16 colours), checkbox.bmp
and items.bmp (16 colours, magenta = transparent).  Everything is written
byte by byte here so the bit depth and palette are exactly what the resource
compiler and the dialog code expect; ImageMagick is only used to rasterise
the Kai font for the title.

Each picture is drawn for three display scales: 100 % (the names above),
150 % and 200 % (the same names with -150 and -200).  The larger ones are
drawn anew at their size, not blown up, except the item pictures the tree
never shows.  The bitmaps are run-length encoded, to keep the exe small:
GDI decodes them as drawn, so each is the same to the pixel.  KAI_FONT in the environment names another copy of the Kai font.
"""

import os
import shutil
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
KAI_FONT = os.environ.get("KAI_FONT", "/usr/share/fonts/truetype/arphic-gkai00mp/gkai00mp.ttf")

# The display scales each picture is drawn for, with the suffix of its file.
SCALES = [(1, ""), (1.5, "-150"), (2, "-200")]

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


def info_header(width, height, bpp, image_size, colours, compression=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, compression,
                       image_size, 0, 0, colours, 0)


BI_RLE8, BI_RLE4 = 1, 2


def rle_rows(pixels, bpp):
    """Bottom-up rows of 8- or 4-bit indices run-length encoded (RLE8,
    RLE4): runs as a count and the index, other stretches as literals."""
    out = bytearray()

    def literal(values):
        if bpp == 8:
            data = bytes(values)
        else:
            data = bytes((values[i] << 4) | (values[i + 1] if i + 1 < len(values) else 0)
                         for i in range(0, len(values), 2))
        out.extend(bytes((0, len(values))) + data + bytes(len(data) % 2))

    for row in reversed(pixels):
        x, width = 0, len(row)
        while x < width:
            run = 1
            while x + run < width and run < 255 and row[x + run] == row[x]:
                run += 1
            if run >= 2:
                out.extend((run, row[x] if bpp == 8 else row[x] * 17))
                x += run
                continue
            # Literals up to the next run of three or more.
            end = x + 1
            while end < width and end - x < 255 and not (
                    end + 2 < width and row[end] == row[end + 1] == row[end + 2]):
                end += 1
            if end - x < 3:
                for v in row[x:end]:
                    out.extend((1, v if bpp == 8 else v * 17))
            else:
                literal(row[x:end])
            x = end
        out.extend((0, 0))
    out[-2:] = b"\x00\x01"
    return bytes(out)


def palette_bytes(palette):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)


def write_bmp(name, pixels, bpp, palette, rle=False):
    height, width = len(pixels), len(pixels[0])
    if len(palette) != 1 << bpp:
        die("%s: palette must have %d entries" % (name, 1 << bpp))
    bits = rle_rows(pixels, bpp) if rle else pack_rows(pixels, width, bpp)
    head = info_header(width, height, bpp, len(bits), len(palette),
                       (BI_RLE8 if bpp == 8 else BI_RLE4) if rle else 0)
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
    """Joins square pictures of one size side by side into one bitmap strip."""
    return [sum((p[y] for p in pictures), []) for y in range(len(pictures[0]))]


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


def glyph(im, ch, points, stroke=0.6):
    """Coverage (0..255) of one character, cropped to its ink."""
    box = points * 3
    cmd = im + ["-size", "%dx%d" % (box, box), "xc:black", "-font", KAI_FONT,
                "-pointsize", str(points), "-fill", "white",
                "-stroke", "white", "-strokewidth", "%g" % stroke,
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


def make_title(scale, suffix):
    if not os.path.isfile(KAI_FONT):
        die("font missing: " + KAI_FONT + " (Debian package fonts-arphic-gkai00mp)")
    im = imagemagick()
    W, H = round(160 * scale), round(100 * scale)
    # Where the relief's one-pixel offsets would fall between pixels, the
    # title is drawn twice as large and then averaged down.
    fine = 1 if float(scale).is_integer() else 2
    k = scale * fine
    FW, FH = W * fine, H * fine
    lines = ["弈辰", "卸载"]
    margin = round(3 * k)   # room for the highlight and shadow at the edges
    line_gap = round(4 * k)
    char_gap = round(10 * k)

    # Largest size at which both lines still fit inside the margins.
    for points in range(round(64 * k), round(20 * k), -1):
        shapes = [[glyph(im, c, points, 0.6 * k) for c in line] for line in lines]
        heights = [max(len(g) for g in line) for line in shapes]
        widths = [sum(len(g[0]) for g in line) + char_gap * (len(line) - 1)
                  for line in shapes]
        if sum(heights) + line_gap <= FH - 2 * margin and max(widths) <= FW - 2 * margin:
            break
    else:
        die("title does not fit")

    cover = [[0] * FW for _ in range(FH)]
    top = (FH - (sum(heights) + line_gap)) // 2
    for line, lh, lw in zip(shapes, heights, widths):
        x = (FW - lw) // 2
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

    def at(d):
        d = round(d * k)
        return [[cover[y - d][x - d] if 0 <= y - d < FH and 0 <= x - d < FW else 0
                 for x in range(FW)] for y in range(FH)]

    # Raised letters: dark shadow down-right, white light up-left, black face.
    layers = [(at(2), 128), (at(1), 96), (at(-1), 255), (cover, 0)]
    grey = [[192.0] * FW for _ in range(FH)]
    for alpha, level in layers:
        for y in range(FH):
            row, arow = grey[y], alpha[y]
            for x in range(FW):
                a = arow[x] / 255.0
                if a:
                    row[x] = row[x] * (1 - a) + level * a
    if fine > 1:
        grey = [[sum(grey[y * fine + j][x * fine + i] for j in range(fine) for i in range(fine))
                 / (fine * fine) for x in range(W)] for y in range(H)]
    pixels = [[int(v + 0.5) for v in r] for r in grey]
    write_bmp("title%s.bmp" % suffix, pixels, 8, [(i, i, i) for i in range(256)], rle=True)


def make_icon(scale, suffix):
    N = round(32 * scale)
    pic = [[None] * N for _ in range(N)]

    # Coordinates are those of the 32x32 drawing. A box spans whole units
    # and grows with the scale; its outline and the lines along its edges
    # stay one pixel wide.
    def at(v):
        return round(v * scale)

    def box(x0, y0, x1, y1):
        return at(x0), at(y0), at(x1 + 1) - 1, at(y1 + 1) - 1

    def fill(b, c):
        x0, y0, x1, y1 = b
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                pic[y][x] = c

    def outline(b, c):
        x0, y0, x1, y1 = b
        fill((x0, y0, x1, y0), c)
        fill((x0, y1, x1, y1), c)
        fill((x0, y0, x0, y1), c)
        fill((x1, y0, x1, y1), c)

    # Monitor behind, up and to the left.
    m = box(1, 1, 22, 17)
    fill(m, SILVER)
    fill((m[0] + 1, m[1] + 1, m[2] - 1, m[1] + 1), WHITE)
    fill((m[0] + 1, m[1] + 1, m[0] + 1, m[3] - 1), WHITE)
    fill((m[0] + 2, m[3] - 1, m[2] - 1, m[3] - 1), GREY)
    fill((m[2] - 1, m[1] + 2, m[2] - 1, m[3] - 1), GREY)
    outline(m, BLACK)
    screen = box(4, 4, 19, 14)
    fill(screen, NAVY)
    fill((screen[0], screen[1], screen[2], screen[1]), GREY)
    fill((screen[0], screen[1], screen[0], screen[3]), GREY)
    fill((screen[0] + 1, screen[3], screen[2], screen[3]), WHITE)
    fill((screen[2], screen[1] + 1, screen[2], screen[3]), WHITE)
    glare = at(3) - 1
    gx, gy = screen[0] + at(2), screen[1] + at(2)
    fill((gx, gy, gx + glare, gy), CYAN)
    fill((gx, gy, gx, gy + glare), CYAN)
    neck = box(8, 18, 15, 19)
    fill(neck, GREY)
    outline(neck, BLACK)
    stand = box(4, 20, 19, 22)
    fill(stand, SILVER)
    fill((stand[0] + 1, stand[1], stand[2] - 1, stand[1]), WHITE)
    outline(stand, BLACK)

    # Grey floppy disk in front, down and to the right.
    disk = box(12, 12, 30, 30)
    fill(disk, GREY)
    outline(disk, BLACK)
    cut = at(1)                                 # cut corner, top right
    for y in range(disk[1], disk[1] + cut + 2):
        for x in range(disk[2] - cut - 1, disk[2] + 1):
            inside = (disk[2] - x) + (y - disk[1])
            if inside < cut:
                pic[y][x] = None
            elif inside <= cut + 1:
                pic[y][x] = BLACK
    shutter = box(16, 12, 26, 19)               # metal shutter
    fill(shutter, SILVER)
    outline(shutter, BLACK)
    fill(box(22, 14, 24, 17), BLACK)            # shutter window
    label = box(15, 21, 27, 30)
    fill(label, WHITE)
    outline(label, BLACK)
    for y in (23, 25, 27):
        fill((at(17), at(y), at(26) - 1, at(y)), SILVER)
    fill(box(13, 29, 13, 29), BLACK)            # write-protect hole

    # Red cross over everything; a maroon rim keeps it readable on grey.
    def dist2(px, py, ax, ay, bx, by):
        vx, vy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)))
        dx, dy = px - ax - t * vx, py - ay - t * vy
        return dx * dx + dy * dy

    strokes = [tuple(v * scale for v in s) for s in [(3, 3, 29, 29), (29, 3, 3, 29)]]
    for y in range(N):
        for x in range(N):
            d = min(dist2(x + 0.5, y + 0.5, *s) for s in strokes)
            if d <= (1.6 * scale) ** 2:
                pic[y][x] = RED
            elif d <= (2.4 * scale) ** 2:
                pic[y][x] = MAROON

    mask = [[1 if c is None else 0 for c in r] for r in pic]
    pixels = [[BLACK if c is None else c for c in r] for r in pic]
    write_ico("program%s.ico" % suffix, pixels, mask)


def make_checkbox(scale, suffix):
    n = round(16 * scale)
    line = max(1, int(scale))       # outline, inner border and shadow
    x0, y0 = round(1 * scale), round(2 * scale)
    x1, y1 = x0 + round(12 * scale) - 1, y0 + round(12 * scale) - 1

    def box(outline, inner, face, shadow, chequer=False):
        p = [[MAGENTA] * n for _ in range(n)]
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = min(x - x0, x1 - x, y - y0, y1 - y)
                if edge < line:
                    p[y][x] = outline
                elif chequer:
                    p[y][x] = inner if (x + y) % 2 else face
                elif edge < 2 * line:
                    p[y][x] = inner
                else:
                    p[y][x] = face
        for y in range(y1 + 1, y1 + 1 + line):
            for x in range(x0 + line, x1 + 1 + line):
                p[y][x] = shadow
        for x in range(x1 + 1, x1 + 1 + line):
            for y in range(y0 + line, y1 + 1 + line):
                p[y][x] = shadow
        return p

    # Tick inside the white face (columns 3..10, rows 4..11), as drawn at
    # 100 %; larger, the same stroke is laid along its centre line.
    tick = [
        "......#.",
        ".....##.",
        "#...##..",
        "##.##...",
        ".###....",
        "..#.....",
    ]
    stroke = [(3.6, 7.6), (5.6, 9.9), (9.7, 5.3)]
    width = 1.45

    def on_tick(x, y):
        if scale == 1:
            j, i = y - 5, x - 3
            return 0 <= j < len(tick) and 0 <= i < len(tick[0]) and tick[j][i] == "#"
        px, py = (x + 0.5) / scale, (y + 0.5) / scale
        for (ax, ay), (bx, by) in zip(stroke, stroke[1:]):
            vx, vy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)))
            if (px - ax - t * vx) ** 2 + (py - ay - t * vy) ** 2 <= (width / 2) ** 2:
                return True
        return False

    def ticked(colour):
        p = box(BLACK, SILVER, WHITE, GREY)
        for y in range(n):
            for x in range(n):
                if on_tick(x, y):
                    p[y][x] = colour
        return p

    pictures = [
        [[MAGENTA] * n for _ in range(n)],
        box(BLACK, SILVER, WHITE, GREY),
        ticked(BLUE),
        ticked(GREY),
        box(GREY, SILVER, WHITE, SILVER, chequer=True),
    ]
    write_bmp("checkbox%s.bmp" % suffix, strip(pictures), 4, VGA, rle=True)


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

# The folders are the only item pictures the tree shows, so they are drawn
# at every size. Each has a tab on top and, open, a front flap leaning
# left at 45 degrees. Per size: the tab's top row and its top edge's left
# and right ends, the body's top and bottom rows, the back's right edge,
# and, open, the flap's top row and its top-left end.
FOLDER_SHAPES = {
    16: dict(tab=3, tab_left=2, tab_right=6, top=5, bottom=13, right=13, flap=7, flap_left=5),
    24: dict(tab=5, tab_left=3, tab_right=9, top=8, bottom=20, right=20, flap=10, flap_left=9),
    32: dict(tab=6, tab_left=4, tab_right=13, top=10, bottom=27, right=27, flap=14, flap_left=12),
}


def folder(n, open_):
    f = FOLDER_SHAPES[n]
    g = [["."] * n for _ in range(n)]

    def row(y, x0, x1, c):
        for x in range(x0, x1 + 1):
            g[y][x] = c

    # The tab widens by a pixel on each side per row down to the body.
    row(f["tab"], f["tab_left"], f["tab_right"], "k")
    for y in range(f["tab"] + 1, f["top"]):
        d = y - f["tab"]
        row(y, f["tab_left"] - d, f["tab_right"] + d, "Y")
        g[y][f["tab_left"] - d] = "k"
        g[y][f["tab_left"] - d + 1] = "w"
        g[y][f["tab_right"] + d] = "k"
    if not open_:
        right, top, bottom = f["right"] + 1, f["top"], f["bottom"]
        row(top, 0, right, "k")
        for y in range(top + 1, bottom):
            row(y, 0, right, "Y")
            g[y][0], g[y][1], g[y][right - 1], g[y][right] = "k", "w", "y", "k"
        row(top + 1, 1, right - 2, "w")
        row(bottom - 1, 1, right - 1, "y")
        row(bottom, 0, right, "k")
        return text(g)

    # Open: the back, then the flap over it.
    right, top, flap = f["right"], f["top"], f["flap"]
    tab_end = f["tab_right"] + (top - f["tab"])
    row(top, 0, tab_end - 1, "Y")
    g[top][0], g[top][1] = "k", "w"
    row(top, tab_end, right, "k")
    for y in range(top + 1, flap):
        row(y, 0, right, "Y")
        g[y][0], g[y][1], g[y][right] = "k", "w", "k"
    row(flap, 0, f["flap_left"] - 1, "Y")
    g[flap][0], g[flap][1] = "k", "w"
    row(flap, f["flap_left"], n - 1, "k")
    last = flap + f["flap_left"] - 1            # the flap's left edge meets the back's
    for y in range(flap + 1, last + 1):
        left, edge = f["flap_left"] - (y - flap), n - 1 - (y - flap - 1)
        row(y, 0, edge, "Y")
        g[y][0], g[y][1] = "k", "w"
        g[y][left], g[y][left + 1] = "k", "w"
        g[y][edge - 1], g[y][edge] = "y", "k"
        if y == flap + 1:
            row(y, left + 1, edge - 2, "w")
    edge = n - 1 - (last + 1 - flap - 1)
    row(last + 1, 0, edge, "y")
    g[last + 1][0], g[last + 1][edge] = "k", "k"
    row(last + 2, 0, edge - 1, "k")
    return text(g)


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
    ("closed folder", None),
    ("open folder", None),
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


def blown_up(p, n):
    """A 16x16 picture at n x n, each pixel the one it covers."""
    return [[p[y * 16 // n][x * 16 // n] for x in range(n)] for y in range(n)]


def make_items(scale, suffix):
    n = round(16 * scale)
    pictures = []
    for name, layers in ITEMS:
        if layers is None:
            pictures.append(from_art(folder(n, name == "open folder"), n))
            continue
        p = from_art(layers[0])
        for layer in layers[1:]:
            p = overlay(p, from_art(layer))
        if all(c == MAGENTA for r in p for c in r):
            die("picture %s is blank" % name)
        pictures.append(blown_up(p, n))
    if len(pictures) != 30:
        die("items strip needs 30 pictures, has %d" % len(pictures))
    write_bmp("items%s.bmp" % suffix, strip(pictures), 4, VGA, rle=True)


def main():
    for scale, suffix in SCALES:
        make_title(scale, suffix)
        make_icon(scale, suffix)
        make_checkbox(scale, suffix)
        make_items(scale, suffix)


if __name__ == "__main__":
    main()
