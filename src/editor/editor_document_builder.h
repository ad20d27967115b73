#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <thread>

class QTextDocument;

namespace qlq {

// Builds the document that holds the editor's text. QTextDocument takes about 2 µs a paragraph,
// which would freeze a window opening on 100 000 tails for a third of a second, so a long list
// (many lines, or many characters) is built on a worker thread and handed over when done; a
// short one is built at once.
class EditorDocumentBuilder : public QObject {
    Q_OBJECT
public:
    // From this many lines, or characters, on the document is built in the background.
    static constexpr qsizetype kBackgroundLines = 5000;
    static constexpr qsizetype kBackgroundCharacters = 200000;

    explicit EditorDocumentBuilder(QObject* parent = nullptr);
    // Waits for a build that is still running and drops its document.
    ~EditorDocumentBuilder() override;

    // Builds from a tail list text; `ready` follows, during this call for
    // a short text, from the event loop for a long one. One build per builder.
    void build(const QString& text);

signals:
    // A plain-text document without undo history, living in this object's thread; the receiver
    // takes it over.
    void ready(QTextDocument* document);

private:
    void deliver();

    std::thread worker_;
    std::unique_ptr<QTextDocument> result_;
};

} // namespace qlq
