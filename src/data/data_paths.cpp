#include "data/data_paths.h"

#include <QFileInfo>

namespace qlq {

std::optional<DataPaths> DataPaths::resolve(const QString& programDirectory,
                                            const std::optional<QString>& userDataDirectory) {
    if (QFileInfo(programDirectory + QStringLiteral("/corvane")).isDir())
        return DataPaths(programDirectory);
    if (!userDataDirectory)
        return std::nullopt;
    return DataPaths(*userDataDirectory);
}

} // namespace qlq
