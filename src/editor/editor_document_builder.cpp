#include "editor/editor_document_builder.h"

#include "editor/tail_text_edit.h"

#include <QTextDocument>
#include <QThread>

namespace qlq {

EditorDocumentBuilder::EditorDocumentBuilder(QObject* parent) : QObject(parent) {}

EditorDocumentBuilder::~EditorDocumentBuilder() {
    if (worker_.joinable())
        worker_.join();
}

void EditorDocumentBuilder::build(const QString& text) {
    if (worker_.joinable() || result_)
        return;
    if (text.size() < kBackgroundCharacters && QStringView(text).count(u'\r') < kBackgroundLines) {
        emit ready(TailTextEdit::makeDocument(text).release());
        return;
    }
    QThread* home = thread();
    worker_ = std::thread([this, text, home] {
        std::unique_ptr<QTextDocument> document = TailTextEdit::makeDocument(text);
        document->moveToThread(home);
        result_ = std::move(document);
        // Posted to this object: dropped unheard if it is destroyed first, and the destructor
        // joins before that, so `this` outlives the call.
        QMetaObject::invokeMethod(this, &EditorDocumentBuilder::deliver, Qt::QueuedConnection);
    });
}

void EditorDocumentBuilder::deliver() {
    if (worker_.joinable())
        worker_.join();
    if (result_)
        emit ready(result_.release());
}

} // namespace qlq
