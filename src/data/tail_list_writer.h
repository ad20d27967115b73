#pragma once

#include "data/file_access.h"
#include "text/text_encoding.h"

#include <QString>

#include <optional>

namespace qlq {

// Replaces the tail list file with `text`, the text as a save writes it (tailListTextToSave), in
// the encoding the file was read in, such that the next read gives this text back in the same
// encoding family (encodeForFile: a UTF-8 list without CJK left gets a UTF-8 mark). Unchanged
// lines keep their bytes, undecodable ones included; an empty text keeps the file's mark, if its
// encoding has one. The write is atomic: on any failure, a character the encoding cannot hold
// included, the old file stays whole. Returns what went wrong.
std::optional<FileProblem> saveTailListFile(const QString& path, const QString& text,
                                            TextEncoding encoding);

// Where the editor keeps its unsaved text when the session ends with the editor open: beside the
// list, written as saveTailListFile writes the list, so that nothing typed is lost at logout
// while the list itself is never written unasked.
QString unsavedEditorTextFile(const QString& tailListFile);
// The text kept there, or nothing when there is none (or it cannot be read).
std::optional<QString> loadUnsavedEditorText(const QString& tailListFile);

} // namespace qlq
