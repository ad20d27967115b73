// Line splitting of a decoded tail list, and the editor's way back to the same text.
#include "data/tail_list_text.h"
#include "fuzz_check.h"
#include "text/line_splitter.h"
#include "text/text_codec.h"

#include <cstdint>

using namespace qlq;

namespace {

// The text with every line end made CR LF, and a final CR LF after an unterminated last line.
// Built character by character, independently of the splitter.
QString normalisedLineEnds(const QString& text) {
    QString out;
    bool atLineStart = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            out += QStringLiteral("\r\n");
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            atLineStart = true;
        } else {
            out += text[i];
            atLineStart = false;
        }
    }
    if (!atLineStart)
        out += QStringLiteral("\r\n");
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = decodeText(QByteArrayView(data, static_cast<qsizetype>(size))).text;
    const QStringList lines = splitTailLines(text);

    QString terminated;
    for (const QString& line : lines) {
        QLQ_FUZZ_CHECK(!line.contains(u'\r')); // a CR always ends a line
        terminated += line + QStringLiteral("\r\n");
    }
    // Each line followed by CR LF, the list reads back unchanged.
    QLQ_FUZZ_CHECK(terminated == normalisedLineEnds(text));
    QLQ_FUZZ_CHECK(splitTailLines(terminated) == lines);

    // Joined with CR LF only between lines, a final empty line is lost: a line end at the very
    // end starts no further line. Every other list survives.
    const QStringList rejoined = splitTailLines(lines.join(QStringLiteral("\r\n")));
    if (lines.isEmpty() || !lines.last().isEmpty())
        QLQ_FUZZ_CHECK(rejoined == lines);
    else
        QLQ_FUZZ_CHECK(rejoined == lines.first(lines.size() - 1));

    // With their own line ends the lines are the text again, and so is the editor's document of
    // it, pieces of long tails and marked line ends included; a save of it closes nothing.
    std::vector<LineEnd> ends;
    QLQ_FUZZ_CHECK(splitTailLines(text, &ends) == lines &&
                   ends.size() == std::size_t(lines.size()));
    QLQ_FUZZ_CHECK(tailListEditorText(lines, ends) == text);
    const EditorDocumentText shown = toEditorDocumentText(text);
    QLQ_FUZZ_CHECK(fromEditorDocumentText(shown.text, shown.kept, shown.lineEnds, shown.usualEnd) ==
                   text);
    QLQ_FUZZ_CHECK(tailListTextToSave(text, shown.closing) == text);
    return 0;
}
