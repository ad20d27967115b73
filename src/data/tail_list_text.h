#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace qlq {

// The list as the editor shows it: every tail followed by CR LF, the last one included.
QString tailListEditorText(const QStringList& tails);

// What a save writes for an edited text: the text unchanged, closed by CR LF unless it is empty or
// already ends a line (CR LF or CR). A lone LF belongs to its tail, so a text ending in LF gets
// CR LF too. Saving an unchanged list therefore gives the same list back.
QString tailListTextToSave(QStringView text);

// A character of a tail that the editor's document cannot hold as it is: U+2028 would read back
// as a lone LF, U+2029, U+FDD0 and U+FDD1 would end the paragraph. The document shows a stand-in
// (U+2028, a line break, for the two separators; U+FFFD for the other two) that remembers it.
struct KeptCharacter {
    qsizetype position = 0; // in the document text
    char16_t original = 0;
};

struct EditorDocumentText {
    QString text; // one paragraph per tail, each ended by U+2029
    std::vector<KeptCharacter> kept;
};

// The editor's document holds one tail per paragraph. A lone LF is part of its tail, not a line
// end, so it is shown as a line break inside the paragraph (U+2028) and turned back on the way
// out; CR LF and CR end paragraphs.
EditorDocumentText toEditorDocumentText(QStringView text);
// The document's raw text back to the tail list text. `kept` (by position) names the stand-ins
// still in the document; any other U+2028 is a lone LF.
QString fromEditorDocumentText(QStringView raw, const std::vector<KeptCharacter>& kept = {});

} // namespace qlq
