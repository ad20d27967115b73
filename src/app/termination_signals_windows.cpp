#include "app/termination_signals.h"

namespace qlq {

// Windows ends a GUI program through the session's end (QGuiApplication::commitDataRequest),
// which the program watches anyway.
TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {}

TerminationSignals::~TerminationSignals() = default;

void TerminationSignals::drain() {}

} // namespace qlq
