#pragma once

#include <QLocale>

class QTranslator;

namespace qlq {

// Qt's own texts (the message boxes' OK, the text boxes' Undo, Cut, Copy …) in the user's
// language. Where Qt has none for it, Chinese, the language of every text of the program's own.
// The translator is made a child of the application; nullptr when no catalogue was found.
QTranslator* installQtTranslations(const QLocale& locale);

} // namespace qlq
