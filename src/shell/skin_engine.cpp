#include "shell/skin_engine.h"

#include "data/file_access.h"
#include "text/text_codec.h"

#include <QApplication>

namespace qlq {

bool attachSkin(const QString& skinFile) {
    const FileReadResult file = readWholeFile(skinFile);
    if (file.status != FileReadResult::Status::Ok)
        return false;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return false;
    app->setStyleSheet(decodeText(file.bytes).text);
    return true;
}

} // namespace qlq
