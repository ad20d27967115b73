#pragma once

#include <QPlainTextEdit>

#include <memory>

class QTextDocument;

namespace qlq {

// The editor's text box: one tail per paragraph. A character a paragraph cannot hold as it is
// (see toEditorDocumentText) is a stand-in that carries the original in its format, so an
// unchanged list saves unchanged. What the user types or pastes is plain text, and every line
// break in it starts a new tail: Shift+Enter works as Enter does.
class TailTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

    // A plain-text document without undo history for a tail list text; safe on any thread.
    static std::unique_ptr<QTextDocument> makeDocument(const QString& text);
    // The tail list text the document now holds, lines ended by CR LF.
    QString tailListText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace qlq
