#!/usr/bin/env python3
"""Draws the three editor images of Skylane and writes them as PNG files.

    tools/make_images.py [OUTPUT_DIR]   (default: plugin/resources/img)

Skylaneplug.png              500 x 332  the panel: product name, group frames
IRadioButtonsControl_x2.png   24 x 48   radio button, off frame above on frame
fxloop2.png                  200 x 64   effects-loop switch, off above on

Each is also written at twice the resolution as NAME@2x.png, drawn anew
(not enlarged) for screens at scale 2.

Only the standard library is used (zlib and struct); text comes from a small
pixel font defined here, so the output is the same on every machine.
"""
import os
import struct
import sys
import zlib

# 5 x 7 capitals and digits, one string of five '#'/'.' cells per row.
FONT = {
    "A": ".###.#...##...#######...##...##...#", "B": "####.#...##...#####.#...##...#####.",
    "C": ".###.#...##....#....#....#...#.###.", "D": "####.#...##...##...##...##...#####.",
    "E": "######....#....####.#....#....#####", "F": "######....#....####.#....#....#....",
    "G": ".###.#...##....#.####...##...#.####", "H": "#...##...##...#######...##...##...#",
    "I": ".###...#....#....#....#....#...###.", "K": "#...##..#.#.#..##...#.#..#..#.#...#",
    "L": "#....#....#....#....#....#....#####", "N": "#...###..##.#.##..###...##...##...#",
    "O": ".###.#...##...##...##...##...#.###.", "P": "####.#...##...#####.#....#....#....",
    "R": "####.#...##...#####.#.#..#..#.#...#", "S": ".#####....#.....###.....#....#####.",
    "T": "#####..#....#....#....#....#....#..", "U": "#...##...##...##...##...##...#.###.",
    "V": "#...##...##...##...##...#.#.#...#..", "Y": "#...##...#.#.#...#....#....#....#..",
    " ": "." * 35,
}

WHITE = (255, 255, 255, 255)
INK = (31, 42, 56, 255)          # dark slate: titles
PANEL = (233, 237, 242, 255)     # light panel
GROUP = (250, 251, 252, 255)     # group fill
FRAME = (160, 170, 184, 255)     # group border
FOOTER = (218, 223, 230, 255)
ACCENT = (44, 110, 185, 255)     # blue: "on"
ACCENT_DARK = (24, 70, 130, 255)
OFF = (150, 158, 170, 255)
CLEAR = (0, 0, 0, 0)


class Image:
    """Drawing calls take positions in 1x units; the image has scale x the pixels."""

    def __init__(self, w, h, fill, scale=1):
        self.s = scale
        self.w, self.h = w * scale, h * scale
        self.px = [list(fill) for _ in range(self.w * self.h)]

    def blend(self, x, y, colour, cover=1.0):
        if not (0 <= x < self.w and 0 <= y < self.h) or cover <= 0:
            return
        p = self.px[y * self.w + x]
        a = colour[3] / 255.0 * min(cover, 1.0)
        out_a = a + p[3] / 255.0 * (1 - a)
        if out_a <= 0:
            return
        for c in range(3):
            p[c] = round((colour[c] * a + p[c] * (p[3] / 255.0) * (1 - a)) / out_a)
        p[3] = round(out_a * 255)

    def rect(self, x0, y0, x1, y1, colour):
        s = self.s
        for y in range(y0 * s, y1 * s):
            for x in range(x0 * s, x1 * s):
                self.blend(x, y, colour)

    def shape(self, x0, y0, x1, y1, inside, colour):
        """Fills where inside(x, y) holds, with 4 x 4 supersampled edges."""
        s = self.s
        for y in range(y0 * s, y1 * s):
            for x in range(x0 * s, x1 * s):
                hits = sum(inside((x + (i + 0.5) / 4) / s, (y + (j + 0.5) / 4) / s)
                           for i in range(4) for j in range(4))
                self.blend(x, y, colour, hits / 16.0)

    def round_rect(self, x0, y0, x1, y1, r, colour):
        def inside(px, py):
            cx = min(max(px, x0 + r), x1 - r)
            cy = min(max(py, y0 + r), y1 - r)
            return (px - cx) ** 2 + (py - cy) ** 2 <= r * r and x0 <= px <= x1 and y0 <= py <= y1
        self.shape(x0, y0, x1 + 1, y1 + 1, inside, colour)

    def circle(self, cx, cy, r, colour):
        self.shape(int(cx - r) - 1, int(cy - r) - 1, int(cx + r) + 2, int(cy + r) + 2,
                   lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r, colour)

    def text(self, x, y, s, colour, scale=1):
        for ch in s:
            glyph = FONT[ch]
            for row in range(7):
                for col in range(5):
                    if glyph[row * 5 + col] == "#":
                        self.rect(x + col * scale, y + row * scale,
                                  x + (col + 1) * scale, y + (row + 1) * scale, colour)
            x += 6 * scale

    def png(self, path):
        raw = b"".join(b"\0" + bytes(c for p in self.px[y * self.w:(y + 1) * self.w] for c in p)
                       for y in range(self.h))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                    chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def text_width(s, scale=1):
    return (6 * len(s) - 1) * scale


def group(img, x0, y0, x1, y1, title=None):
    img.round_rect(x0, y0, x1, y1, 6, FRAME)
    img.round_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 5, GROUP)
    if title:
        # A legend on the top border, clear of the names inside.
        x = x1 - 12 - text_width(title)
        img.rect(x - 4, y0 - 4, x + text_width(title) + 4, y0 + 4, PANEL)
        img.text(x, y0 - 3, title, OFF)


def panel(scale):
    img = Image(500, 332, PANEL, scale)
    # Product name and a thin accent rule, top right, clear of the status line.
    img.text(484 - text_width("SKYLANE", 4), 14, "SKYLANE", INK, 4)
    img.rect(484 - text_width("SKYLANE", 4), 46, 484, 48, ACCENT)
    img.text(484 - text_width("AUDIO RELAY"), 54, "AUDIO RELAY", OFF)
    # Devices (buttons at x 16, names to x 156), channels (buttons at x 240,
    # names to x 380), buffering (caption at x 16, buttons x 100 to 292).
    group(img, 8, 90, 226, 200, "DEVICES")
    group(img, 232, 90, 492, 200, "CHANNEL")
    group(img, 8, 206, 304, 242)
    # Footer behind the version and the two diagnostic lines.
    img.rect(0, 248, 500, 249, FRAME)
    img.rect(0, 249, 500, 332, FOOTER)
    return img


def radio(scale):
    img = Image(24, 48, CLEAR, scale)
    for frame, on in ((0, False), (1, True)):
        cy = frame * 24 + 12
        img.circle(12, cy, 9, ACCENT_DARK if on else OFF)
        img.circle(12, cy, 7.5, ACCENT if on else WHITE)
        if on:
            img.circle(12, cy, 3.5, WHITE)
    return img


def fx_loop(scale):
    img = Image(200, 64, CLEAR, scale)
    for frame, on in ((0, False), (1, True)):
        top = frame * 32
        img.round_rect(1, top + 2, 198, top + 29, 13, ACCENT if on else OFF)
        knob_x = 183 if on else 16
        img.circle(knob_x, top + 15.5, 10, WHITE)
        label = "EFFECTS LOOP ON" if on else "EFFECTS LOOP OFF"
        x = 34 if not on else 166 - text_width(label)
        img.text(x, top + 12, label, WHITE)
    return img


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "plugin", "resources", "img")
    os.makedirs(out, exist_ok=True)
    for draw, name in ((panel, "Skylaneplug"), (radio, "IRadioButtonsControl_x2"),
                       (fx_loop, "fxloop2")):
        draw(1).png(os.path.join(out, name + ".png"))
        draw(2).png(os.path.join(out, name + "@2x.png"))


if __name__ == "__main__":
    main()
