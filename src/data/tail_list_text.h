#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace qlq {

// The list as the editor shows it: every tail followed by CR LF, the last one included.
QString tailListEditorText(const QStringList& tails);

// What a save writes for an edited text: the text unchanged, closed by CR LF unless it is empty or
// already ends a line (CR LF or CR). A lone LF belongs to its tail, so a text ending in LF gets
// CR LF too. Saving an unchanged list therefore gives the same list back.
QString tailListTextToSave(QStringView text);

// The editor's document holds one tail per paragraph. A lone LF is part of its tail, not a line
// end, so it is shown as a line break inside the paragraph (U+2028) and turned back on the way
// out; CR LF and CR stay paragraph ends.
QString toEditorDocumentText(QStringView text);
// The document's raw text (paragraphs ended by U+2029) back to the tail list text.
QString fromEditorDocumentText(QStringView raw);

} // namespace qlq
