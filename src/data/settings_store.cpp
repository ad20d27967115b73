#include "data/settings_store.h"

#include "data/file_access.h"
#include "data/profile_document.h"

namespace qlq {
namespace {

QString switchText(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

std::optional<bool> switchValue(const QString& stored) {
    bool ok = false;
    const double v = stored.trimmed().toDouble(&ok);
    if (ok && v == 0.0)
        return false;
    if (ok && v == 1.0)
        return true;
    return std::nullopt;
}

std::optional<QString> writeOptions(const QString& file, const StoredOptions& options) {
    const FileReadResult current = readWholeFile(file);
    // Rewriting a file we could not read would throw away whatever else it holds.
    if (current.status == FileReadResult::Status::Failed)
        return QStringLiteral("无法读取原有的文件（%1），未覆盖它").arg(current.error);
    ProfileDocument document = current.status == FileReadResult::Status::Ok
                                   ? ProfileDocument::fromBytes(current.bytes)
                                   : ProfileDocument();

    const struct {
        const char* section;
        const char* key;
        QString value;
    } entries[] = {
        {"t1", "t", options.ownTail},
        {"peizhi", "Check1", switchText(options.sendAfterInsert)},
        {"peizhi", "Check2", switchText(options.appendOwnTail)},
        {"peizhi", "weiba", switchText(options.randomOrder)},
    };
    for (const auto& entry : entries) {
        if (!document.setValue(QString::fromLatin1(entry.section), QString::fromLatin1(entry.key),
                               entry.value))
            return QStringLiteral("文字无法转换为文件的编码");
    }

    const QByteArray bytes = document.toBytes();
    // Nothing changed: leave the file alone, so a read-only copy raises no needless message.
    if (current.status == FileReadResult::Status::Ok && bytes == current.bytes)
        return std::nullopt;
    return writeFileAtomically(file, bytes);
}

} // namespace qlq
