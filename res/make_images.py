#!/usr/bin/env python3
"""Draws the kit's pictures, icons and toolbar images and writes them as BMP
and ICO files next to this script. Standard library only; run it again after
changing a drawing and commit the files it writes.

  bitmap160.bmp  446 x 317, 8 bits per pixel, 64-entry colour table (used count 64)
  bitmap229.bmp  446 x 317, 8 bits per pixel, 256-entry colour table (used count 0)
  bitmap228.bmp  480 x 360, 24 bits per pixel
  icon225.ico    32 x 32, the Program button
  icon128.ico    32 x 32 and 16 x 16, the main window and the About box
  toolbar.bmp    three 16 x 15 buttons side by side on the key grey 192,192,192
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


# --- a small RGB canvas ------------------------------------------------------

class Canvas:
    def __init__(self, w, h, colour):
        self.w, self.h = w, h
        self.px = [[colour] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.h, y1)):
            row = self.px[y]
            for x in range(max(0, x0), min(self.w, x1)):
                row[x] = c

    def round_rect(self, x0, y0, x1, y1, r, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                dx = max(x0 + r - x, 0, x - (x1 - 1 - r))
                dy = max(y0 + r - y, 0, y - (y1 - 1 - r))
                if dx * dx + dy * dy <= r * r:
                    self.put(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def line(self, x0, y0, x1, y1, c, width=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = x0 + (x1 - x0) * i // steps
            y = y0 + (y1 - y0) * i // steps
            self.rect(x - width // 2, y - width // 2, x - width // 2 + width,
                      y - width // 2 + width, c)

    def vgradient(self, x0, y0, x1, y1, top, bottom, steps):
        for y in range(y0, y1):
            k = (y - y0) * steps // max(1, y1 - y0)
            self.rect(x0, y, x1, y + 1, mix(top, bottom, k / max(1, steps - 1)))

    def text(self, x, y, s, c, scale=1):
        for ch in s:
            glyph = FONT.get(ch)
            if glyph is None:
                x += 4 * scale
                continue
            for gy, bits in enumerate(glyph):
                for gx in range(5):
                    if bits & (0x10 >> gx):
                        self.rect(x + gx * scale, y + gy * scale,
                                  x + (gx + 1) * scale, y + (gy + 1) * scale, c)
            x += 6 * scale


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# 5 x 7 capitals and digits, one row of five bits each.
FONT = {
    'A': [14, 17, 17, 31, 17, 17, 17], 'B': [30, 17, 17, 30, 17, 17, 30],
    'C': [14, 17, 16, 16, 16, 17, 14], 'D': [30, 17, 17, 17, 17, 17, 30],
    'E': [31, 16, 16, 30, 16, 16, 31], 'G': [14, 17, 16, 23, 17, 17, 15],
    'H': [17, 17, 17, 31, 17, 17, 17], 'I': [14, 4, 4, 4, 4, 4, 14], 'K': [17, 18, 20, 24, 20, 18, 17],
    'L': [16, 16, 16, 16, 16, 16, 31], 'M': [17, 27, 21, 21, 17, 17, 17],
    'N': [17, 25, 21, 19, 17, 17, 17], 'O': [14, 17, 17, 17, 17, 17, 14],
    'P': [30, 17, 17, 30, 16, 16, 16], 'R': [30, 17, 17, 30, 20, 18, 17],
    'S': [15, 16, 16, 14, 1, 1, 30], 'T': [31, 4, 4, 4, 4, 4, 4],
    'U': [17, 17, 17, 17, 17, 17, 14], 'V': [17, 17, 17, 17, 17, 10, 4],
    'W': [17, 17, 17, 21, 21, 21, 10], 'Y': [17, 17, 10, 4, 4, 4, 4],
    '0': [14, 17, 19, 21, 25, 17, 14], '1': [4, 12, 4, 4, 4, 4, 14],
    '2': [14, 17, 1, 2, 4, 8, 31], '3': [30, 1, 1, 14, 1, 1, 30],
    '4': [2, 6, 10, 18, 31, 2, 2], '5': [31, 16, 30, 1, 1, 17, 14],
    '6': [6, 8, 16, 30, 17, 17, 14], '7': [31, 1, 2, 4, 8, 8, 8],
    '8': [14, 17, 17, 14, 17, 17, 14], '9': [14, 17, 17, 15, 1, 2, 12],
    '.': [0, 0, 0, 0, 0, 12, 12], '-': [0, 0, 0, 31, 0, 0, 0],
}

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
BODY = (46, 50, 58)
BODY_EDGE = (90, 96, 108)
LCD = (120, 200, 120)
LCD_TEXT = (20, 60, 20)
KEY = (192, 192, 192)


# --- the pictures ------------------------------------------------------------

def mobile_radio(cv, x, y, w, h, label, accent):
    """A mobile radio seen from the front, with a hand microphone beside it."""
    cv.round_rect(x, y, x + w, y + h, 10, BODY_EDGE)
    cv.round_rect(x + 3, y + 3, x + w - 3, y + h - 3, 8, BODY)
    cv.rect(x + 20, y + 18, x + w // 2 + 20, y + 58, BLACK)          # display bezel
    cv.rect(x + 24, y + 22, x + w // 2 + 16, y + 54, LCD)
    cv.text(x + 30, y + 27, label, LCD_TEXT, 2)
    cv.disc(x + w - 45, y + h // 2, 22, BODY_EDGE)                    # volume knob
    cv.disc(x + w - 45, y + h // 2, 17, (70, 74, 84))
    cv.rect(x + w - 47, y + h // 2 - 17, x + w - 43, y + h // 2 - 5, WHITE)
    for i in range(6):                                                # keypad
        kx = x + 20 + i * 30
        cv.round_rect(kx, y + h - 32, kx + 24, y + h - 16, 3, accent)
    cv.text(x + w // 2 + 40, y + 20, 'CORVANE', WHITE, 1)


def microphone(cv, x, y, accent):
    cv.round_rect(x, y, x + 44, y + 80, 14, BODY_EDGE)
    cv.round_rect(x + 3, y + 3, x + 41, y + 77, 12, BODY)
    for i in range(5):
        cv.rect(x + 10, y + 14 + i * 8, x + 34, y + 17 + i * 8, (30, 32, 38))
    cv.rect(x - 6, y + 20, x, y + 50, accent)                       # push-to-talk key
    for i in range(8):                                               # coiled cord
        cv.disc(x + 22 - i * 3, y + 84 + i * 7, 4, BODY_EDGE)


def picture_229():
    cv = Canvas(446, 317, (0, 0, 0))
    cv.vgradient(0, 0, 446, 317, (24, 60, 120), (150, 190, 230), 48)
    cv.rect(0, 250, 446, 317, (60, 64, 72))
    cv.vgradient(0, 250, 446, 317, (70, 74, 82), (40, 42, 48), 16)
    mobile_radio(cv, 40, 120, 300, 130, 'CH 01', (200, 120, 40))
    microphone(cv, 370, 110, (200, 120, 40))
    cv.text(40, 40, 'SALES NUMBER RECOVERY', WHITE, 2)
    cv.line(40, 62, 300, 62, WHITE, 2)
    return cv


def picture_160():
    cv = Canvas(446, 317, (0, 0, 0))
    cv.vgradient(0, 0, 446, 317, (40, 40, 48), (110, 110, 124), 24)
    mobile_radio(cv, 40, 140, 300, 130, 'V2.0', (60, 160, 90))
    for i in range(3):                                               # upward arrows
        ax = 370 + i * 22
        cv.line(ax, 130, ax, 70, (60, 160, 90), 5)
        cv.line(ax, 66, ax - 9, 80, (60, 160, 90), 4)
        cv.line(ax, 66, ax + 9, 80, (60, 160, 90), 4)
    cv.text(40, 40, 'RADIO UPGRADE', WHITE, 2)
    return cv


def picture_228():
    cv = Canvas(480, 360, (0, 0, 0))
    for y in range(360):                                             # smooth sky to dusk
        for x in range(480):
            cv.px[y][x] = (int(20 + 60 * y / 360 + 40 * x / 480),
                           int(40 + 80 * y / 360), int(90 + 120 * (1 - y / 360)))
    cv.rect(0, 280, 480, 360, (52, 54, 60))
    mobile_radio(cv, 50, 150, 320, 130, 'ORION', (220, 60, 60))
    microphone(cv, 400, 140, (220, 60, 60))
    cv.text(50, 50, 'ORION SERIES', WHITE, 3)
    return cv


# --- icons and toolbar -------------------------------------------------------

def icon_canvas(size):
    """An empty icon of `size` pixels and a filler that takes coordinates on a
    32 by 32 grid, scaled to the icon's size."""
    s = size / 32
    px = [[None] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, c):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = c
    return px, fill


def icon_program(size):
    """A chip with a downward arrow: software going into the radio."""
    px, fill = icon_canvas(size)
    fill(6, 14, 26, 30, (30, 30, 36))
    for i in range(5):
        fill(7 + i * 4, 12, 9 + i * 4, 14, (170, 170, 170))
        fill(7 + i * 4, 30, 9 + i * 4, 32, (170, 170, 170))
    fill(9, 17, 23, 27, (60, 60, 70))
    fill(13, 0, 19, 7, (230, 160, 20))
    for i in range(6):
        fill(10 + i, 7 + i, 22 - i, 8 + i, (230, 160, 20))
    return px


def icon_app(size):
    """A hand-held radio."""
    px, fill = icon_canvas(size)
    fill(20, 0, 23, 8, (40, 40, 40))
    fill(8, 8, 25, 31, (40, 40, 48))
    fill(10, 11, 23, 18, (120, 200, 120))
    for r in range(3):
        for c in range(3):
            fill(11 + c * 4, 20 + r * 3, 13 + c * 4, 22 + r * 3, (200, 120, 40))
    return px


def toolbar():
    cv = Canvas(48, 15, KEY)
    # Comm Setting: a serial connector
    cv.round_rect(1, 4, 15, 11, 2, (40, 40, 120))
    for i in range(4):
        cv.put(3 + i * 3, 6, WHITE)
        cv.put(4 + i * 3, 9, WHITE)
    cv.rect(7, 11, 9, 15, (40, 40, 120))
    # RIB Setting: a box with two arrows (echo)
    cv.rect(20, 3, 28, 12, (20, 110, 40))
    cv.line(29, 5, 31, 5, BLACK)
    cv.line(29, 9, 31, 9, BLACK)
    cv.put(30, 4, BLACK)
    cv.put(30, 10, BLACK)
    cv.line(16, 7, 19, 7, BLACK)
    # About: a question mark in a circle
    cv.disc(40, 7, 7, (30, 80, 180))
    for x, y in [(38, 3), (39, 2), (40, 2), (41, 2), (42, 3), (42, 4), (41, 5), (40, 6),
                 (40, 7), (40, 10)]:
        cv.put(x, y, WHITE)
    return cv


# --- file writers ------------------------------------------------------------

def bmp_bytes(cv, bits, used_colours=0):
    if bits == 24:
        table = b''
        stride = (cv.w * 3 + 3) & ~3
        rows = []
        for y in reversed(range(cv.h)):
            row = bytearray()
            for r, g, b in cv.px[y]:
                row += bytes((b, g, r))
            rows.append(bytes(row) + b'\0' * (stride - len(row)))
        colours = 0
    else:
        palette = sorted({c for row in cv.px for c in row})
        limit = used_colours or 256
        if len(palette) > limit:
            raise SystemExit('%d colours, more than %d' % (len(palette), limit))
        palette += [(0, 0, 0)] * (limit - len(palette))
        index = {c: i for i, c in enumerate(palette)}
        table = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
        stride = (cv.w + 3) & ~3
        rows = [bytes(index[c] for c in cv.px[y]) + b'\0' * (stride - cv.w)
                for y in reversed(range(cv.h))]
        colours = used_colours
    pixels = b''.join(rows)
    offset = 14 + 40 + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, cv.w, cv.h, 1, bits, 0, len(pixels),
                       2835, 2835, colours, 0)
    return header + info + table + pixels


def ico_image(px):
    size = len(px)
    xor = bytearray()
    for y in reversed(range(size)):
        for c in px[y]:
            xor += bytes((c[2], c[1], c[0], 255)) if c else b'\0\0\0\0'
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray(mask_stride)
        for x, c in enumerate(px[y]):
            if c is None:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(mask),
                       0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def ico_bytes(images):
    blobs = [ico_image(px) for px in images]
    out = struct.pack('<HHH', 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for px, blob in zip(images, blobs):
        out += struct.pack('<BBBBHHII', len(px) % 256, len(px) % 256, 0, 0, 1, 32,
                           len(blob), offset)
        offset += len(blob)
    return out + b''.join(blobs)


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


def main():
    write('bitmap229.bmp', bmp_bytes(picture_229(), 8))
    write('bitmap160.bmp', bmp_bytes(picture_160(), 8, used_colours=64))
    write('bitmap228.bmp', bmp_bytes(picture_228(), 24))
    write('icon225.ico', ico_bytes([icon_program(32)]))
    write('icon128.ico', ico_bytes([icon_app(32), icon_app(16)]))
    write('toolbar.bmp', bmp_bytes(toolbar(), 24))


if __name__ == '__main__':
    main()
