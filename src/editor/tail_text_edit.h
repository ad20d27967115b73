#pragma once

#include "text/line_splitter.h"

#include <QPlainTextEdit>

#include <memory>

class QTextDocument;

namespace qlq {

// The editor's text box: one tail per paragraph, a long tail in several (see
// toEditorDocumentText). A character a paragraph cannot hold as it is is a stand-in that carries
// the original in its format, and a paragraph that follows an unusual line end (a lone CR, or
// none within a long tail) carries that in its block format, so an unchanged list saves
// unchanged. What the user types or pastes is plain text, and every line break in it starts a
// new tail with the usual line end: Shift+Enter works as Enter does.
class TailTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

    // A plain-text document without undo history for a tail list text, unmodified; safe on any
    // thread.
    static std::unique_ptr<QTextDocument> makeDocument(const QString& text);
    // The tail list text the document now holds, each line with its line end.
    QString tailListText() const;
    // How a save closes a last line that has no line end (tailListTextToSave).
    LineEnd closingLineEnd() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    // Inserts plain text at the cursor: each line break a new tail, a long line in pieces.
    void insertLines(const QString& text);
};

} // namespace qlq
