#!/usr/bin/env python3
"""pe_checksum.py FILE: brings a PE file into the form that Authenticode signing leaves
around its signature: zeros appended up to a multiple of 8 bytes and the optional
header's checksum written. Removing the signature from a signed file then gives back
these very bytes, so that a signed release less its signatures is the unsigned one.
makensis leaves the checksum 0 and its programs' lengths uneven."""
import struct
import sys


def checksum(data, field):
    # The 16-bit one's-complement-style sum of the file with the field itself left out,
    # plus the file's length, as Windows' CheckSumMappedFile computes it.
    total = 0
    words = struct.unpack_from("<%dH" % (len(data) // 2), data)
    for i, word in enumerate(words):
        if field <= 2 * i < field + 4:
            continue
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return ((total & 0xFFFF) + (total >> 16)) + len(data)


def main(path):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    if data[:2] != b"MZ":
        sys.exit("pe_checksum.py: %s is no PE file" % path)
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit("pe_checksum.py: %s is no PE file" % path)
    field = pe + 24 + 64  # CheckSum, at the same place in PE32 and PE32+
    data += bytes(-len(data) % 8)
    struct.pack_into("<I", data, field, checksum(data, field) & 0xFFFFFFFF)
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
