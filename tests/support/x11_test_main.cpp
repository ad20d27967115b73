// Tests against a real X server: a private Xvfb (-displayfd picks a free display), a QApplication
// on xcb, the server stopped by its pid at the end. Listing the tests needs no server.
#include "platform/x11/x11_desktop.h"

#include <QApplication>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include <sys/prctl.h>

namespace {

// Xvfb writes its display number to fd 1 once it accepts connections.
bool startXvfb(QProcess& server) {
    server.setStandardErrorFile(QProcess::nullDevice());
    // Should this process die on a crash or a sanitizer report, the server goes with it.
    server.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    server.start(QStringLiteral("Xvfb"),
                 {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
    QByteArray number;
    while (!number.contains('\n') && server.waitForReadyRead(10000))
        number += server.readAllStandardOutput();
    qputenv("DISPLAY", ":" + number.trimmed());
    return number.contains('\n');
}

} // namespace

int main(int argc, char** argv) {
    bool listing = false; // looked at before InitGoogleTest takes the flag out
    for (int i = 1; i < argc; ++i)
        listing |= std::strcmp(argv[i], "--gtest_list_tests") == 0;
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
    server.terminate();
    if (!server.waitForFinished(5000))
        server.kill();
    server.waitForFinished(5000);
    return result;
}
