#pragma once

namespace qlq {

// How a text file is stored. A file is written back the way it was read; new files are GB18030,
// which is byte-identical to GBK for every GBK character.
enum class TextEncoding {
    Gb18030,
    // GB18030 as Windows' code page 936 writes it: "€" is the single byte 0x80 (GB18030 has it
    // at A2 E3). Chosen for a file that holds 0x80 and no A2 E3, so the byte goes back as it was.
    CodePage936,
    Utf8,
    Utf8WithBom,
    // Notepad's "Unicode": the mark FF FE, then 16-bit units, low byte first.
    Utf16LeWithBom,
    // Notepad's "Unicode big endian": the mark FE FF, then 16-bit units, high byte first.
    Utf16BeWithBom,
};

} // namespace qlq
