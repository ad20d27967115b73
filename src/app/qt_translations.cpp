#include "app/qt_translations.h"

#include "config/log_categories.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace qlq {

QTranslator* installQtTranslations(const QLocale& locale) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(QCoreApplication::instance());
    // The system's translations, else those built into the program (the Windows build).
    for (const QString& from : {folder, QStringLiteral(":/translations")}) {
        for (const QLocale& candidate : {locale, QLocale(QLocale::Chinese, QLocale::China)}) {
            if (translator->load(candidate, QStringLiteral("qtbase"), QStringLiteral("_"), from) &&
                QCoreApplication::installTranslator(translator)) {
                qCDebug(log::app, "Qt's texts from %ls", qUtf16Printable(translator->filePath()));
                return translator;
            }
        }
    }
    qCInfo(log::app, "no translation of Qt's texts in %ls (qt6-translations-l10n)",
           qUtf16Printable(folder));
    delete translator;
    return nullptr;
}

} // namespace qlq
