#pragma once

#include "text/text_codec.h"

namespace qlq {

// Encodings that read the same bytes the same way: code page 936 is GB18030 plus 0x80, UTF-8
// with a mark is UTF-8. A file written in one may rightly read back as the other.
inline bool sameFamily(TextEncoding a, TextEncoding b) {
    const auto family = [](TextEncoding e) {
        return e == TextEncoding::CodePage936   ? TextEncoding::Gb18030
               : e == TextEncoding::Utf8WithBom ? TextEncoding::Utf8
                                                : e;
    };
    return family(a) == family(b);
}

} // namespace qlq
