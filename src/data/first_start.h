#pragma once

#include "data/file_access.h"

#include <QString>
#include <QStringList>

namespace qlq {

struct SampleCopy {
    QStringList copied;                 // file names
    std::optional<FileProblem> problem; // why a copy failed
};

// The first start of an installed copy: the user's corvane/ gets the sample tail list and
// options from `samplesDir`. Only while corvane/ has no tail list yet, and no existing file is
// ever replaced, so a user's own files are never touched.
SampleCopy copySamplesOnFirstStart(const QString& samplesDir, const QString& corvaneDir);

} // namespace qlq
