#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace qlq {

// How the program was asked to start.
struct StartOptions {
    bool verbose = false;          // --verbose: every qlq.* log category on
    bool background = false;       // --background: straight into the notification area
    std::optional<bool> autostart; // --autostart on|off: write or remove the entry, then exit
    bool insert = false;           // --insert: one press in the running copy, then exit
    std::optional<bool> gnomeF8;   // --bind-gnome-f8 [off]: GNOME's F8 shortcut, then exit
    QString platform;              // Qt's -platform, when given
    QString display;               // Qt's -display, when given
};

struct CommandLineOutcome {
    std::optional<int> exitCode; // set when the program is done (--help, --version, an error)
    QString output;              // for standard output
    QString error;               // for standard error
    StartOptions options;
};

// Reads the arguments (the program name first) before the application object exists, so
// --help and --version need no display. Qt's own options (-platform, -display, -style …) are
// accepted and left for QApplication.
CommandLineOutcome readCommandLine(const QStringList& arguments);

} // namespace qlq
