#include "data/tail_list_writer.h"

#include "data/file_access.h"
#include "data/tail_list_text.h"
#include "text/file_encoder.h"

namespace qlq {

std::optional<FileProblem> saveTailListFile(const QString& path, const QString& text,
                                            TextEncoding encoding) {
    const QString saved = tailListTextToSave(text);
    // An empty list is an empty file, without even a byte-order mark.
    if (saved.isEmpty())
        return writeFileAtomically(path, QByteArray());
    // Bytes that the next start reads back as this text, in this encoding family.
    const std::optional<EncodedFile> file = encodeForFile(saved, encoding);
    if (!file)
        return FileProblem{FileProblem::Kind::Unencodable, path, QString()};
    return writeFileAtomically(path, file->bytes);
}

} // namespace qlq
