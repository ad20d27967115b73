#pragma once

#include "text/text_encoding.h"

#include <QByteArrayView>

namespace qlq {

// Which encoding a file is in:
// - a mark: FF FE is UTF-16LE, FE FF UTF-16BE, EF BB BF UTF-8;
// - UTF-8 when its three- and four-byte sequences (every CJK character) are evidence enough: the
//   bytes are valid UTF-8 with at least one, or they hold at most one undecodable byte for every
//   four of them and GB18030 cannot read the bytes either. Two-byte sequences prove nothing: GBK
//   pairs such as "尾尾" (CE B2 CE B2) are valid UTF-8 too;
// - otherwise GB18030, read as code page 936 ("€" at 0x80) when a 0x80 byte and no A2 E3 is in
//   it. Pure ASCII reads the same in all of them and counts as GB18030.
TextEncoding detectEncoding(QByteArrayView bytes);

} // namespace qlq
