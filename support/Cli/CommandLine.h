// Command lines of the project's tools parsed with CLI11, with the tools' own help text and uniform errors.
#ifndef SUPPORT_CLI_COMMANDLINE_H
#define SUPPORT_CLI_COMMANDLINE_H

#include <CLI/CLI.hpp>

#include <optional>

namespace Support
{
/// Parses argv with app after adding -h/--help (prints usage) and --version. Returns the exit status when the program
/// is done: 0 after --help or --version, 2 after a usage error, reported on standard error as "PROGRAM: message"
/// and "Try 'PROGRAM --help'."; std::nullopt when the program goes on with the parsed options.
std::optional<int> ParseCommandLine(CLI::App& app, const char* program, const char* usage, int argc, char** argv);

/// Reports a usage error found after parsing, as ParseCommandLine does; returns 2.
int ReportUsageError(const char* program, const std::string& message);
} // namespace Support

#endif
