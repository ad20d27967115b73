#pragma once

#include <QString>

namespace qlq {

// Reads one value of a private-profile file: section and key matched without regard to case,
// blanks around them ignored, one pair of surrounding quotes dropped. The empty text when the
// file, the section or the key is absent, or the file cannot be read.
QString ReadIni(const QString& section, const QString& key, const QString& file);

} // namespace qlq
