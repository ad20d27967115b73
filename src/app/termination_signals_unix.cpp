#include "app/termination_signals.h"

#include "config/log_categories.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace qlq {
namespace {

constexpr std::array kSignals = {SIGTERM, SIGINT, SIGHUP};
// The self-pipe: [0] read by the event loop, [1] written by the handler.
int selfPipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int number) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(selfPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::pipe2(selfPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qCWarning(log::app, "no pipe for the termination signals: they end the program unsaved");
        return;
    }
    notifier_ = new QSocketNotifier(selfPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::drain);
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_)
        return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int number : kSignals)
        ::sigaction(number, &action, nullptr);
    delete notifier_;
    ::close(selfPipe[0]);
    ::close(selfPipe[1]);
    selfPipe[0] = selfPipe[1] = -1;
}

void TerminationSignals::drain() {
    unsigned char byte = 0;
    while (::read(selfPipe[0], &byte, 1) == 1) {
        qCInfo(log::app, "signal %d: saving and ending", byte);
        emit received(byte);
    }
}

} // namespace qlq
