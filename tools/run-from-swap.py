#!/usr/bin/env python3
"""run-from-swap.py EXE: marks a PE program to be run from the swap file when it is
started from removable media, and recomputes the header checksum.

A program started from a diskette is otherwise paged in from the diskette as it runs:
once the user has put in the next one, code and strings not yet touched would be read
from the wrong diskette. GNU ld has no option for this flag."""
import struct
import sys

IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP = 0x0400


def pe_checksum(image, checksum_offset):
    """The PE header checksum: the file's 16-bit words summed with the carries folded
    back in, the checksum field counted as zero, plus the file's length."""
    padded = image + b"\0" * (len(image) % 2)
    total = 0
    for offset in range(0, len(padded), 2):
        if checksum_offset <= offset < checksum_offset + 4:
            continue
        total += padded[offset] | padded[offset + 1] << 8
        total = (total & 0xFFFF) + (total >> 16)
    return (total & 0xFFFF) + len(image)


def main(path):
    image = bytearray(open(path, "rb").read())
    header = struct.unpack_from("<I", image, 0x3C)[0]
    if image[:2] != b"MZ" or image[header:header + 4] != b"PE\0\0":
        sys.exit("run-from-swap.py: %s is not a PE program" % path)
    characteristics = header + 4 + 18  # after the signature, in the file header
    checksum = header + 24 + 64        # in the optional header
    flags = struct.unpack_from("<H", image, characteristics)[0]
    struct.pack_into("<H", image, characteristics, flags | IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP)
    struct.pack_into("<I", image, checksum, pe_checksum(image, checksum))
    open(path, "wb").write(image)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: run-from-swap.py EXE")
    main(sys.argv[1])
