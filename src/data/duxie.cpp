#include "data/duxie.h"

#include "data/file_access.h"
#include "data/profile_document.h"

namespace qlq {

// Reads the file afresh at every call: the load sequence asks four times and nothing is cached
// between them.
QString ReadIni(const QString& section, const QString& key, const QString& file) {
    const FileReadResult read = readWholeFile(file);
    if (read.status != FileReadResult::Status::Ok)
        return QString();
    return ProfileDocument::fromBytes(read.bytes).value(section, key);
}

} // namespace qlq
