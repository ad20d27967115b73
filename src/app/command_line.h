#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace qlq {

// How the program was asked to start.
struct StartOptions {
    bool verbose = false; // --verbose: every qlq.* log category on
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
