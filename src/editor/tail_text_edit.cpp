#include "editor/tail_text_edit.h"

#include "data/tail_list_text.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>

namespace qlq {
namespace {

// On a stand-in's format: the character it stands for.
constexpr int kOriginalCharacter = QTextFormat::UserProperty + 1;
// On a block's format: the LineEnd that ends the paragraph before it, when not the usual one.
constexpr int kLineEndBefore = QTextFormat::UserProperty + 2;
// On a document: whether it holds stand-ins, or blocks marked so, at all; without them the text
// is read back in one pass. And its usual line end and closing (EditorDocumentText).
constexpr char kHoldsStandIns[] = "qlqHoldsStandIns";
constexpr char kHoldsLineEnds[] = "qlqHoldsLineEnds";
constexpr char kUsualEnd[] = "qlqUsualEnd";
constexpr char kClosing[] = "qlqClosing";

LineEnd lineEndProperty(const QTextDocument* document, const char* name) {
    return static_cast<LineEnd>(document->property(name).toInt());
}

QTextBlockFormat paragraphAfter(LineEnd end) {
    QTextBlockFormat format;
    format.setProperty(kLineEndBefore, static_cast<int>(end));
    return format;
}

} // namespace

std::unique_ptr<QTextDocument> TailTextEdit::makeDocument(const QString& text) {
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    const EditorDocumentText shown = toEditorDocumentText(text);
    document->setPlainText(shown.text);
    QTextCursor cursor(document.get());
    cursor.beginEditBlock(); // and no layout yet: marking costs no layout work
    for (const KeptCharacter& kept : shown.kept) {
        cursor.setPosition(static_cast<int>(kept.position));
        cursor.setPosition(static_cast<int>(kept.position) + 1, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setProperty(kOriginalCharacter, static_cast<int>(kept.original));
        cursor.mergeCharFormat(format);
    }
    for (const KeptLineEnd& end : shown.lineEnds) {
        cursor.setPosition(static_cast<int>(end.position) + 1);
        cursor.setBlockFormat(paragraphAfter(end.end));
    }
    cursor.endEditBlock();
    document->setProperty(kHoldsStandIns, !shown.kept.empty());
    document->setProperty(kHoldsLineEnds, !shown.lineEnds.empty());
    document->setProperty(kUsualEnd, static_cast<int>(shown.usualEnd));
    document->setProperty(kClosing, static_cast<int>(shown.closing));
    document->setModified(false);
    return document;
}

QString TailTextEdit::tailListText() const {
    const QTextDocument* doc = document();
    const QString raw = doc->toRawText();
    std::vector<KeptCharacter> kept;
    if (doc->property(kHoldsStandIns).toBool()) {
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                const QVariant original = fragment.charFormat().property(kOriginalCharacter);
                if (!original.isValid())
                    continue;
                // Text typed next to a stand-in takes its format too: only stand-ins count.
                const QString text = fragment.text();
                for (qsizetype i = 0; i < text.size(); ++i) {
                    if (text[i] == QChar::LineSeparator || text[i] == QChar::ReplacementCharacter)
                        kept.push_back(
                            {fragment.position() + i, static_cast<char16_t>(original.toInt())});
                }
            }
        }
    }
    std::vector<KeptLineEnd> lineEnds;
    if (doc->property(kHoldsLineEnds).toBool()) {
        for (QTextBlock block = doc->begin().next(); block.isValid(); block = block.next()) {
            const QVariant end = block.blockFormat().property(kLineEndBefore);
            if (end.isValid())
                lineEnds.push_back({block.position() - 1, static_cast<LineEnd>(end.toInt())});
        }
    }
    return fromEditorDocumentText(raw, kept, lineEnds, lineEndProperty(doc, kUsualEnd));
}

LineEnd TailTextEdit::closingLineEnd() const {
    return lineEndProperty(document(), kClosing);
}

void TailTextEdit::keyPressEvent(QKeyEvent* event) {
    // Qt's Shift+Enter puts a line break inside the paragraph, which would save as a lone LF
    // within one tail although the box shows two lines; and Qt's Enter gives the new paragraph
    // the format of the one it splits, which may say "no line end here".
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !isReadOnly() &&
        !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) {
        QTextCursor cursor = textCursor();
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        setTextCursor(cursor);
        ensureCursorVisible();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TailTextEdit::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    insertLines(source->text());
    ensureCursorVisible();
}

void TailTextEdit::insertLines(const QString& text) {
    // Every line break, a pasted line separator too, starts a new tail; pasted text is never a
    // stand-in, and a long line goes in as pieces that join without a line end.
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'))
        .replace(QChar::LineSeparator, QLatin1Char('\n'))
        .replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    bool joined = false;
    qsizetype lineStart = 0;
    while (lineStart <= normalised.size()) {
        qsizetype lineEnd = normalised.indexOf(QLatin1Char('\n'), lineStart);
        if (lineEnd < 0)
            lineEnd = normalised.size();
        for (qsizetype at = lineStart; at < lineEnd;) {
            qsizetype length = std::min(kLongestParagraph, lineEnd - at);
            if (at + length < lineEnd && normalised[at + length].isLowSurrogate())
                ++length;
            if (at > lineStart) {
                cursor.insertBlock(paragraphAfter(LineEnd::None), QTextCharFormat());
                joined = true;
            }
            cursor.insertText(normalised.sliced(at, length), QTextCharFormat());
            at += length;
        }
        if (lineEnd == normalised.size())
            break;
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        lineStart = lineEnd + 1;
    }
    cursor.endEditBlock();
    if (joined)
        document()->setProperty(kHoldsLineEnds, true);
    setTextCursor(cursor);
}

QMimeData* TailTextEdit::createMimeDataFromSelection() const {
    // A long tail copied whole is one line, not its pieces.
    auto* data = new QMimeData;
    const QTextCursor cursor = textCursor();
    QString text;
    for (int at = cursor.selectionStart(); at < cursor.selectionEnd();) {
        const QTextBlock block = document()->findBlock(at);
        const int blockEnd = block.position() + block.length() - 1;
        const int end = std::min(blockEnd, cursor.selectionEnd());
        text += block.text().mid(at - block.position(), end - at);
        if (end == blockEnd && end < cursor.selectionEnd()) {
            const QVariant next = block.next().blockFormat().property(kLineEndBefore);
            if (!next.isValid() || static_cast<LineEnd>(next.toInt()) != LineEnd::None)
                text += QLatin1Char('\n');
        }
        at = end + 1;
    }
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    data->setText(text);
    return data;
}

} // namespace qlq
