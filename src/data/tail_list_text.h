#pragma once

#include "text/line_splitter.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace qlq {

// The list as the editor shows it: every tail followed by its line end in the file (`ends`, one
// per tail as splitTailLines gives them; CR LF where there is none), so that the text of a list
// just read is the file's text.
QString tailListEditorText(const QStringList& tails, const std::vector<LineEnd>& ends = {});

// What a save writes for an edited text: the text unchanged, closed by `closing` unless it is
// empty or already ends a line (CR LF or CR). A lone LF belongs to its tail, so a text ending in
// LF gets closed too. `closing` None keeps a last line without a line end, as the file had it.
QString tailListTextToSave(QStringView text, LineEnd closing = LineEnd::CrLf);

// A character of a tail that the editor's document cannot hold as it is: U+2028 would read back
// as a lone LF, U+2029, U+FDD0 and U+FDD1 would end the paragraph. The document shows a stand-in
// (U+2028, a line break, for the two separators; U+FFFD for the other two) that remembers it.
struct KeptCharacter {
    qsizetype position = 0; // in the document text
    char16_t original = 0;
};

// A paragraph end (the U+2029 at `position`) that is not the usual line end: a lone CR among CR
// LF, CR LF among lone CRs, or None, no line end at all: a long tail goes on in the next
// paragraph, because laying out one paragraph of a million characters takes seconds and is done
// again at every key.
struct KeptLineEnd {
    qsizetype position = 0;
    LineEnd end = LineEnd::CrLf;
};

// Tails longer than this are held in several paragraphs.
inline constexpr qsizetype kLongestParagraph = 1024;

struct EditorDocumentText {
    QString text; // one paragraph per tail, or per piece of a long one, each ended by U+2029
    std::vector<KeptCharacter> kept;
    std::vector<KeptLineEnd> lineEnds;
    // What the other paragraph ends stand for, and what new lines get: the line end most of the
    // file's lines have (CR LF when as many end in a lone CR), so a file stays of one kind.
    LineEnd usualEnd = LineEnd::CrLf;
    // How a save closes a last line left without a line end: the usual end, or None when the
    // file's own last line had none.
    LineEnd closing = LineEnd::CrLf;
};

// The editor's document holds one tail per paragraph. A lone LF is part of its tail, not a line
// end, so it is shown as a line break inside the paragraph (U+2028) and turned back on the way
// out; CR LF and CR end paragraphs.
EditorDocumentText toEditorDocumentText(QStringView text);
// The document's raw text back to the tail list text. `kept` and `lineEnds` (by position) name
// the stand-ins and the unusual paragraph ends still in the document; any other U+2028 is a lone
// LF, any other U+2029 `usualEnd`.
QString fromEditorDocumentText(QStringView raw, const std::vector<KeptCharacter>& kept = {},
                               const std::vector<KeptLineEnd>& lineEnds = {},
                               LineEnd usualEnd = LineEnd::CrLf);

} // namespace qlq
