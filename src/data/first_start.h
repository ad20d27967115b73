#pragma once

#include <QString>
#include <QStringList>

namespace qlq {

struct SampleCopy {
    QStringList copied; // file names
    QString error;      // why a copy failed; empty when all went well
};

// The first start of an installed copy: the user's corvane/ gets the sample tail list and
// options from `samplesDir`. Only while corvane/ has no tail list yet, and no existing file is
// ever replaced, so a user's own files are never touched.
SampleCopy copySamplesOnFirstStart(const QString& samplesDir, const QString& corvaneDir);

} // namespace qlq
