#pragma once

#include <QObject>

class QSocketNotifier;

namespace qlq {

// SIGTERM (a session manager, kill), SIGINT (Ctrl+C in a terminal) and SIGHUP (a closed
// terminal) as a Qt signal on the event loop, so that the program ends the way closing its main
// window does instead of dying unsaved. The handler only writes to a pipe; the rest runs later.
// One at a time. Where the system has no such signals it never fires.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    void drain();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace qlq
