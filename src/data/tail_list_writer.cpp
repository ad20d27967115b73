#include "data/tail_list_writer.h"

#include "config/log_categories.h"
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

QString unsavedEditorTextFile(const QString& tailListFile) {
    return tailListFile + QStringLiteral(".unsaved");
}

std::optional<QString> loadUnsavedEditorText(const QString& tailListFile) {
    const FileReadResult file = readWholeFile(unsavedEditorTextFile(tailListFile));
    if (file.problem)
        qCWarning(log::files, "the editor's unsaved text in %ls cannot be read (problem %d: %ls)",
                  qUtf16Printable(file.problem->path), static_cast<int>(file.problem->kind),
                  qUtf16Printable(file.problem->reason));
    if (file.status != FileReadResult::Status::Ok)
        return std::nullopt;
    return decodeText(file.bytes).text;
}

} // namespace qlq
