#!/usr/bin/env python3
"""Writes src/text/gb18030_tables.cpp: GB18030's two-byte table and its four-byte ranges of the
Basic Multilingual Plane, read from glibc's own GB18030 converter through iconv(3).

    python3 tools/make_gb18030_tables.py > src/text/gb18030_tables.cpp

Before writing anything it checks that glibc's encoder is the exact inverse of the decoded
tables, and that the supplementary planes follow the arithmetic rule from 90 30 81 30, so the
program's codec (src/text/gb18030_codec.cpp) can take the tables as the whole truth.
"""

import ctypes
import struct
import sys

libc = ctypes.CDLL(None, use_errno=True)
libc.iconv_open.restype = ctypes.c_void_p
libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
libc.iconv.restype = ctypes.c_size_t
libc.iconv.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_char_p),
                       ctypes.POINTER(ctypes.c_size_t), ctypes.POINTER(ctypes.c_char_p),
                       ctypes.POINTER(ctypes.c_size_t)]
libc.iconv_close.argtypes = [ctypes.c_void_p]
libc.gnu_get_libc_version.restype = ctypes.c_char_p

FAILED = ctypes.c_size_t(-1).value


def convert(data, to, source):
    """The whole conversion, or None when iconv stops at any byte."""
    cd = libc.iconv_open(to.encode(), source.encode())
    if cd == FAILED:
        sys.exit(f"iconv cannot convert {source} to {to}")
    inbuf = ctypes.create_string_buffer(data, len(data))
    outbuf = ctypes.create_string_buffer(len(data) * 4 + 16)
    inp, inleft = ctypes.c_char_p(ctypes.addressof(inbuf)), ctypes.c_size_t(len(data))
    outp, outleft = ctypes.c_char_p(ctypes.addressof(outbuf)), ctypes.c_size_t(len(outbuf))
    result = libc.iconv(cd, ctypes.byref(inp), ctypes.byref(inleft), ctypes.byref(outp),
                        ctypes.byref(outleft))
    libc.iconv_close(cd)
    if result == FAILED:
        return None
    return outbuf.raw[:len(outbuf) - outleft.value]


def decode_one(data):
    out = convert(data, "UTF-32LE", "GB18030")
    if out is None:
        return None
    if len(out) != 4:
        sys.exit(f"{data.hex()} decodes to more than one character")
    return struct.unpack("<I", out)[0]


def four_bytes(index, first):
    b1, rest = divmod(index, 12600)
    b2, rest = divmod(rest, 1260)
    b3, b4 = divmod(rest, 10)
    return bytes([first + b1, 0x30 + b2, 0x81 + b3, 0x30 + b4])


TRAILS = list(range(0x40, 0x7F)) + list(range(0x80, 0xFF))
BMP_FOUR_BYTE_COUNT = 39420  # 81 30 81 30 .. 84 31 A4 39

two_byte = {}  # code -> code point, None where glibc rejects it
for lead in range(0x81, 0xFF):
    for trail in TRAILS:
        two_byte[lead << 8 | trail] = decode_one(bytes([lead, trail]))
four_byte = [decode_one(four_bytes(i, 0x81)) for i in range(BMP_FOUR_BYTE_COUNT)]

if any(v is not None and v > 0xFFFF for v in four_byte):
    sys.exit("a four-byte code of the BMP range decodes outside the BMP")
decoded = [v for v in two_byte.values() if v is not None] + [v for v in four_byte if v is not None]
if len(decoded) != len(set(decoded)):
    sys.exit("two codes of the tables decode to the same character")

beyond_bmp = sorted((code, cp) for code, cp in two_byte.items() if cp is not None and cp > 0xFFFF)

# The supplementary planes: pure arithmetic, apart from the characters that also have a two-byte
# code (glibc reads both forms, writes the two-byte one; the codec keeps the four-byte form as
# undecodable bytes so that a save gives them back unchanged).
SUPPLEMENTARY = 0x100000
out = convert(b"".join(four_bytes(i, 0x90) for i in range(SUPPLEMENTARY)), "UTF-32LE", "GB18030")
if out is None or struct.unpack(f"<{SUPPLEMENTARY}I", out) != tuple(
        range(0x10000, 0x110000)):
    sys.exit("the supplementary planes do not follow the arithmetic rule")

# The encoder must be the inverse: every character with a code goes back to that code, and every
# other character is refused.
expected = {c: bytes([c]) for c in range(0x80)}
expected.update({cp: struct.pack(">H", code) for code, cp in two_byte.items() if cp is not None})
expected.update({cp: four_bytes(i, 0x81) for i, cp in enumerate(four_byte) if cp is not None})
unencodable = []


def expected_code(c):
    return expected.get(c, four_bytes(c - 0x10000, 0x90) if c > 0xFFFF else None)


for start in range(0, 0x110000, 0x1000):
    chunk = [c for c in range(start, start + 0x1000) if not 0xD800 <= c <= 0xDFFF]
    want = [expected_code(c) for c in chunk]
    if all(w is not None for w in want) and convert(
            struct.pack(f"<{len(chunk)}I", *chunk), "GB18030", "UTF-32LE") == b"".join(want):
        continue
    for c, w in zip(chunk, want):
        got = convert(struct.pack("<I", c), "GB18030", "UTF-32LE")
        if got is None:
            unencodable.append(c)
        elif got != w:
            sys.exit(f"glibc encodes U+{c:04X} as {got.hex()}, the tables say {w and w.hex()}")
if any(c > 0xFFFF or c in expected for c in unencodable):
    sys.exit("glibc refuses a character the tables decode to")

version = libc.gnu_get_libc_version().decode()


def rows(values, per_line, width):
    for i in range(0, len(values), per_line):
        yield "    " + " ".join(f"0x{v:0{width}X}," for v in values[i:i + per_line])


print(f"""// Generated by tools/make_gb18030_tables.py from the GB18030 converter of glibc {version}.
// Do not edit; regenerate with: python3 tools/make_gb18030_tables.py > src/text/gb18030_tables.cpp
#include "text/gb18030_tables.h"

namespace qlq::gb18030 {{

// clang-format off
const char16_t kTwoByte[kLeadCount * kTrailCount] = {{""")
table = []
for lead in range(0x81, 0xFF):
    for trail in range(0x40, 0xFF):
        cp = two_byte.get(lead << 8 | trail)
        table.append(cp if cp is not None and cp <= 0xFFFF else 0)
print("\n".join(rows(table, 12, 4)))
print("};\n")

print("const TwoByteBeyondBmp kTwoByteBeyondBmp[] = {")
for code, cp in beyond_bmp:
    print(f"    {{0x{code:04X}, 0x{cp:05X}}},")
print("};")
print(f"const std::size_t kTwoByteBeyondBmpCount = {len(beyond_bmp)};\n")

ranges = []
for i, cp in enumerate(four_byte):
    if cp is None:
        continue
    if ranges and ranges[-1][0] + ranges[-1][2] == i and ranges[-1][1] + ranges[-1][2] == cp:
        ranges[-1][2] += 1
    else:
        ranges.append([i, cp, 1])
print("const FourByteRange kFourByteRanges[] = {")
for i in range(0, len(ranges), 4):
    print("    " + " ".join(f"{{{a}, 0x{b:04X}, {c}}}," for a, b, c in ranges[i:i + 4]))
print("};")
print(f"const std::size_t kFourByteRangeCount = {len(ranges)};")
print("// clang-format on\n\n} // namespace qlq::gb18030")

print(f"glibc {version}: {len(beyond_bmp)} two-byte codes beyond the BMP, {len(ranges)} four-byte "
      f"ranges, {len(unencodable)} characters without a code", file=sys.stderr)
