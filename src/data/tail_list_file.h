#pragma once

#include "data/file_access.h"
#include "text/line_splitter.h"
#include "text/text_encoding.h"

#include <QString>
#include <QStringList>

namespace qlq {

struct TailListContent {
    QStringList tails;
    std::vector<LineEnd> lineEnds; // one per tail
    TextEncoding encoding = TextEncoding::Gb18030;
    // When the file was there but could not be read.
    std::optional<FileProblem> problem;
};

// Reads every line of the tail list file. A missing or unreadable file is an empty list.
TailListContent loadTailListFile(const QString& path);

} // namespace qlq
