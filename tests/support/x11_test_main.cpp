// Entry point for tests against a real X server: starts a private Xvfb (-displayfd picks a free
// display), runs the tests in a QApplication on the xcb platform, then stops the server by its
// pid. Listing the tests (ctest discovery) needs no server.
#include "platform/x11/x11_desktop.h"

#include <QApplication>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include <sys/prctl.h>

namespace {

bool listingOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0)
            return true;
    }
    return false;
}

// Xvfb writes its display number to fd 1 once it accepts connections.
bool startXvfb(QProcess& server) {
    server.setProcessChannelMode(QProcess::SeparateChannels);
    server.setStandardErrorFile(QProcess::nullDevice());
    // Should this process die on a sanitizer report or a crash, the server goes with it.
    server.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    server.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                  QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                  QStringLiteral("1024x768x24")});
    if (!server.waitForStarted(10000))
        return false;
    QByteArray number;
    while (!number.contains('\n')) {
        if (!server.waitForReadyRead(10000))
            return false;
        number += server.readAllStandardOutput();
    }
    qputenv("DISPLAY", ":" + number.trimmed());
    return true;
}

void stopXvfb(QProcess& server) {
    server.terminate(); // SIGTERM to the server's pid
    if (!server.waitForFinished(5000)) {
        server.kill();
        server.waitForFinished(5000);
    }
}

} // namespace

int main(int argc, char** argv) {
    const bool listing = listingOnly(argc, argv); // before InitGoogleTest takes the flag out
    ::testing::InitGoogleTest(&argc, argv);
    if (listing)
        return RUN_ALL_TESTS();

    QProcess server;
    if (!startXvfb(server)) {
        std::fprintf(stderr, "could not start Xvfb\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    qlq::prepareX11Threads();
    int result = 1;
    {
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    stopXvfb(server);
    return result;
}
