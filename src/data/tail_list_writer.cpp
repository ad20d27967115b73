#include "data/tail_list_writer.h"

#include "data/file_access.h"
#include "data/tail_list_text.h"
#include "text/text_codec.h"

namespace qlq {

std::optional<QString> saveTailListFile(const QString& path, const QString& text,
                                        TextEncoding encoding) {
    const QString saved = tailListTextToSave(text);
    // An empty list is an empty file, without even a byte-order mark.
    if (saved.isEmpty())
        return writeFileAtomically(path, QByteArray());
    const std::optional<QByteArray> bytes = encodeText(saved, encoding);
    if (!bytes)
        return QStringLiteral("文本中有无法保存的字符");
    return writeFileAtomically(path, *bytes);
}

} // namespace qlq
