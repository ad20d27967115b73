#include "data/first_start.h"

#include "data/file_access.h"

#include <QDir>
#include <QFileInfo>

namespace qlq {

SampleCopy copySamplesOnFirstStart(const QString& samplesDir, const QString& corvaneDir) {
    SampleCopy result;
    const QString tailList = QStringLiteral("qinglanque.ini");
    if (QFileInfo::exists(corvaneDir + QLatin1Char('/') + tailList) ||
        !QFileInfo::exists(samplesDir + QLatin1Char('/') + tailList))
        return result;
    // The tail list last: until it is there, an interrupted copy is tried again.
    for (const QString& name : {QStringLiteral("corvane.ini"), tailList}) {
        const QString target = corvaneDir + QLatin1Char('/') + name;
        if (QFileInfo::exists(target))
            continue;
        const FileReadResult sample = readWholeFile(samplesDir + QLatin1Char('/') + name);
        if (sample.status != FileReadResult::Status::Ok)
            continue;
        if (std::optional<FileProblem> problem = writeFileAtomically(target, sample.bytes)) {
            result.problem = std::move(problem);
            return result;
        }
        result.copied << name;
    }
    return result;
}

} // namespace qlq
