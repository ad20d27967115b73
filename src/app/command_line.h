#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace qlq {

enum class CommandLineRequest { Run, ShowVersion, ShowHelp, Invalid };

struct CommandLine {
    CommandLineRequest request = CommandLineRequest::Run;
    std::string error; // why the command line is invalid, for the user
};

// Reads the arguments after the program name. The program has no arguments of its own beyond
// --help and --version; Qt's standard options (-platform, -display, -style …) are left for
// QApplication, anything else is an error.
CommandLine parseCommandLine(std::span<const std::string_view> arguments);

std::string versionText();
std::string usageText();

// Answers --version, --help and bad arguments before any window or display connection exists.
// Returns the exit code when the program is done, nothing when it should start as usual.
std::optional<int> answerCommandLine(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err);

} // namespace qlq
