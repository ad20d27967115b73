#pragma once

namespace qlq {

// How a text file is stored. A file is written back the way it was read; new files are GB18030,
// which is byte-identical to GBK for every GBK character.
enum class TextEncoding {
    Gb18030,
    Utf8,
    Utf8WithBom,
};

} // namespace qlq
