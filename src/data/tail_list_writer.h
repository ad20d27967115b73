#pragma once

#include "text/text_encoding.h"

#include <QString>

#include <optional>

namespace qlq {

// Replaces the tail list file with an edited text (closed by CR LF as tailListTextToSave says),
// in the encoding the file was read in. The write is atomic: on any failure, a character the
// encoding cannot hold included, the old file stays whole. Returns the reason of a failure.
std::optional<QString> saveTailListFile(const QString& path, const QString& text,
                                        TextEncoding encoding);

} // namespace qlq
