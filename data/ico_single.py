#!/usr/bin/python3
"""Copies one image of an .ico file into an .ico file of its own.

    ico_single.py ICON SIZE BITS OUTPUT

picks the image SIZE pixels wide with BITS bits per pixel (an image stored
as PNG counts as 32 bits). icotool -x then makes the PNG from the copy: run
on the whole icon, icotool 0.32 misreads every image that follows a PNG one
("incorrect total size of bitmap"), and ours keeps the 256-pixel PNG ahead
of the 32-bit images.
"""
import struct
import sys

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def main():
    path, size, bits, output = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        sys.exit(f"{path}: not an icon file")
    for i in range(count):
        width, height, colours, _, planes, bit_count, length, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        image = data[offset:offset + length]
        if len(image) != length:
            sys.exit(f"{path}: image {i + 1} runs past the end of the file")
        if image.startswith(PNG_SIGNATURE):
            bit_count = 32
        if (width or 256) == size and (height or 256) == size and bit_count == bits:
            entry = struct.pack("<BBBBHHII", width, height, colours, 0, planes, bit_count,
                                length, 6 + 16)
            with open(output, "wb") as f:
                f.write(struct.pack("<HHH", 0, 1, 1) + entry + image)
            return
    sys.exit(f"{path}: no {size}x{size} image with {bits} bits per pixel")


if __name__ == "__main__":
    main()
