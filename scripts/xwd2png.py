#!/usr/bin/env python3
"""xwd2png.py IN.xwd OUT.png: converts a 24/32-bit TrueColor XWD image (such as the screen file an
Xvfb server keeps with -fbdir) to PNG, with nothing beyond the Python standard library."""
import struct
import sys
import zlib


def read_xwd(data):
    # The header is 25 32-bit fields; its own byte order is told by a version field of 7.
    for order in (">", "<"):
        fields = struct.unpack(order + "25I", data[:100])
        if fields[1] == 7:
            break
    else:
        raise ValueError("not an XWD file (version 7)")
    (header_size, _, _, _, width, height, _, byte_order, _, _, _, bits_per_pixel, bytes_per_line, _,
     red_mask, green_mask, blue_mask, _, _, ncolors) = fields[:20]
    if bits_per_pixel not in (24, 32):
        raise ValueError(f"{bits_per_pixel} bits per pixel is not supported")
    start = header_size + ncolors * 12
    pixel_order = "<" if byte_order == 0 else ">"
    step = bits_per_pixel // 8

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    shifts = [shift(m) for m in (red_mask, green_mask, blue_mask)]
    rows = []
    for y in range(height):
        line = data[start + y * bytes_per_line: start + y * bytes_per_line + width * step]
        if len(line) < width * step:
            raise ValueError("the image data is shorter than its header says")
        if step == 4:
            values = struct.unpack(f"{pixel_order}{width}I", line)
        else:
            values = [int.from_bytes(line[i:i + 3], "little" if byte_order == 0 else "big") for i in range(0, len(line), 3)]
        row = bytearray(b"\x00")  # PNG filter: none
        for v in values:
            row += bytes(((v >> shifts[0]) & 0xFF, (v >> shifts[1]) & 0xFF, (v >> shifts[2]) & 0xFF))
        rows.append(bytes(row))
    return width, height, b"".join(rows)


def write_png(path, width, height, raw):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        out.write(chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    width, height, raw = read_xwd(data)
    write_png(sys.argv[2], width, height, raw)


if __name__ == "__main__":
    main()
