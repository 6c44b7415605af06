#!/usr/bin/python3
"""Looks at a screenshot of the program's window (an XWD dump of its client area, as `xwd -id`
writes it) and checks that the units are drawn where the window definition puts them.

    window_probe.py SHOT.xwd [--png OUT.png]

Exits 0 when every check holds, 1 otherwise, with one line per check. Standard library only.
"""
import struct
import sys
import zlib

# (name, client x, client y, what the pixel must be). Places are taken from the window
# definition: the HTML view's blank page, the middle of the badge in the picture label (drawn
# 56 x 56 at (4, 0) inside the 64 x 56 label at (216, 80)), the white inside of the edit boxes,
# and the window background between units.
BUTTON_FACE = "button face"
CHECKS = [
    ("HTML view shows a blank white area", 740, 364, (255, 255, 255)),
    ("picture label shows the purple badge", 216 + 4 + 28, 80 + 10, (173, 55, 140)),
    ("edit box 2 is white inside", 160, 72, (255, 255, 255)),
    ("edit box 3 is white inside", 160, 120, (255, 255, 255)),
    ("edit box 4 is white inside", 160, 176, (255, 255, 255)),
    ("reference box is white at its left margin", 52, 630, (255, 255, 255)),
    ("background between units", 20, 290, BUTTON_FACE),
]


def read_xwd(path):
    with open(path, "rb") as f:
        data = f.read()
    header = struct.unpack(">25I", data[:100])
    header_size, version = header[0], header[1]
    if version != 7:
        raise ValueError("not an XWD version 7 file")
    width, height = header[4], header[5]
    byte_order = header[7]
    bits_per_pixel = header[11]
    bytes_per_line = header[12]
    red_mask, green_mask, blue_mask = header[14], header[15], header[16]
    ncolors = header[19]
    if bits_per_pixel != 32:
        raise ValueError("expected 32 bits per pixel, got %d" % bits_per_pixel)
    offset = header_size + ncolors * 12
    endian = "<" if byte_order == 0 else ">"

    def shift(mask):
        s = 0
        while mask and not mask & 1:
            mask >>= 1
            s += 1
        return s

    shifts = [shift(m) for m in (red_mask, green_mask, blue_mask)]
    masks = (red_mask, green_mask, blue_mask)

    def pixel(x, y):
        at = offset + y * bytes_per_line + x * 4
        (value,) = struct.unpack(endian + "I", data[at:at + 4])
        return tuple((value & m) >> s for m, s in zip(masks, shifts))

    return width, height, pixel


def write_png(path, width, height, pixel):
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(pixel(x, y))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(bytes(rows), 6)))
        f.write(chunk(b"IEND", b""))


def close_to(a, b, tolerance=6):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def main(argv):
    if len(argv) not in (2, 4) or (len(argv) == 4 and argv[2] != "--png"):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    width, height, pixel = read_xwd(argv[1])
    if len(argv) == 4:
        write_png(argv[3], width, height, pixel)
    # The button face is whatever the window's background is; it must not be white or black.
    face = pixel(20, 290)
    failures = 0
    for name, x, y, expected in CHECKS:
        if x >= width or y >= height:
            print("FAIL %s: (%d, %d) is outside the %dx%d client area" % (name, x, y, width, height))
            failures += 1
            continue
        got = pixel(x, y)
        if expected == BUTTON_FACE:
            ok = got == face and got not in ((255, 255, 255), (0, 0, 0))
        else:
            ok = close_to(got, expected)
        print("%s %s: pixel (%d, %d) is %s" % ("ok  " if ok else "FAIL", name, x, y, got))
        failures += 0 if ok else 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
