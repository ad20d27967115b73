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
// On a document that holds stand-ins at all; without it the text is read back in one pass.
constexpr char kHoldsStandIns[] = "qlqHoldsStandIns";

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
    cursor.endEditBlock();
    document->setProperty(kHoldsStandIns, !shown.kept.empty());
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
    return fromEditorDocumentText(raw, kept);
}

void TailTextEdit::keyPressEvent(QKeyEvent* event) {
    // Qt's Shift+Enter puts a line break inside the paragraph, which would save as a lone LF
    // within one tail although the box shows two lines.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(), event->count());
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TailTextEdit::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // A pasted line separator is a new line as well, and pasted text is never a stand-in.
    QString text = source->text();
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    QTextCursor cursor = textCursor();
    cursor.insertText(text, QTextCharFormat());
    setTextCursor(cursor);
    ensureCursorVisible();
}

} // namespace qlq
