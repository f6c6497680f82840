#!/usr/bin/env python3
"""Writes the test images of the editor tests (run from this folder)."""
import math, struct, zlib


def png(name, w, h, pixel):
    rows = b''.join(b'\0' + bytes(c for x in range(w) for c in pixel(x, y)) for y in range(h))
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    data = (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))
    with open(name, 'wb') as f:
        f.write(data)
    return data


# An opaque background: bands and a diagonal so misplaced copies show.
png('background.png', 500, 332,
    lambda x, y: ((x // 25) * 12, (y // 25) * 18, ((x + y) // 8 % 2) * 200, 255))
# Two frames stacked vertically, 40 x 20 each, with soft alpha at the edges.
png('button_x2.png', 40, 40,
    lambda x, y: ((220, 40, 40) if y < 20 else (40, 200, 60)) + (min(255, 60 + 40 * min(x, 39 - x, y % 20, 19 - y % 20)),))
# Three frames side by side, 10 x 10 each.
png('strip_x3.png', 30, 10, lambda x, y: ((x // 10) * 120, 255 - (x // 10) * 120, y * 25, 255))
# Its 2x version: the same frames with twice the rows of blue steps, so that it
# cannot pass for the 1x strip enlarged.
png('strip_x3@2x.png', 60, 20, lambda x, y: ((x // 20) * 120, 255 - (x // 20) * 120, y * 12, 255))
# A knob base, mask and top of 21 x 21 (odd width).
png('knob_base.png', 21, 21, lambda x, y: (90, 90, 200, 255))
png('knob_mask.png', 21, 21,
    lambda x, y: (0, 0, 0, 255 if (x - 10) ** 2 + (y - 10) ** 2 <= 81 else 0))
png('knob_top.png', 21, 21, lambda x, y: (250, 250, 250, 255 if abs(x - 10) <= 1 and y < 10 else 0))
# Upper-case name and extension: found by a lower-case request.
png('Upper.PNG', 4, 4, lambda x, y: (10, 20, 30, 255))
# A PNG whose image data is damaged: found, but cannot be decoded.
good = png('broken.png', 8, 8, lambda x, y: (1, 2, 3, 255))
cut = good.find(b'IDAT') + 8
with open('broken.png', 'wb') as f:
    f.write(good[:cut] + bytes(b ^ 0x5A for b in good[cut:cut + 12]) + good[cut + 12:])
