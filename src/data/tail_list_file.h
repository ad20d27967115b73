#pragma once

#include "text/text_encoding.h"

#include <QString>
#include <QStringList>

namespace qlq {

struct TailListContent {
    QStringList tails;
    TextEncoding encoding = TextEncoding::Gb18030;
    bool readable = true; // false when the file was there but could not be read
    QString error;        // why it could not be read
};

// Reads every line of the tail list file. A missing or unreadable file is an empty list.
TailListContent loadTailListFile(const QString& path);

} // namespace qlq
