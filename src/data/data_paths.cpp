#include "data/data_paths.h"

#include <QFileInfo>

namespace qlq {

DataPaths DataPaths::resolve(const QString& programDirectory, const QString& userDataDirectory) {
    if (QFileInfo(programDirectory + QStringLiteral("/corvane")).isDir())
        return DataPaths(programDirectory);
    return DataPaths(userDataDirectory);
}

} // namespace qlq
