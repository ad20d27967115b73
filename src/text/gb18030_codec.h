#pragma once

#include "text/decode_step.h"

#include <QtGlobal>

namespace qlq::gb18030 {

// Reads the character at the front of p[0..n), n >= 1. With euroByte the single byte 0x80 is "€",
// as code page 936 reads it; without, it starts no character.
DecodeStep decodeOne(const unsigned char* p, qsizetype n, bool euroByte);

// Writes the code of c to out (room for four bytes) and returns its length, or 0 when GB18030 has
// no code for c. With euroByte "€" is written as 0x80.
int encodeOne(char32_t c, bool euroByte, unsigned char* out);

} // namespace qlq::gb18030
