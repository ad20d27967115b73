#include "data/tail_list_writer.h"

#include "text/file_encoder.h"
#include "text/text_codec.h"

namespace qlq {

std::optional<FileProblem> saveTailListFile(const QString& path, const QString& text,
                                            TextEncoding encoding) {
    // An empty list: the mark alone, so that a UTF-16 file stays one; a UTF-8 file without a
    // mark becomes empty rather than gaining one.
    if (text.isEmpty())
        return writeFileAtomically(path, byteOrderMark(encoding).toByteArray());
    // Bytes that the next start reads back as this text, in this encoding family.
    const std::optional<EncodedFile> file = encodeForFile(text, encoding);
    if (!file)
        return FileProblem{FileProblem::Kind::Unencodable, path, QString()};
    return writeFileAtomically(path, file->bytes);
}

} // namespace qlq
