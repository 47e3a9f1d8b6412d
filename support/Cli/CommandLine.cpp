// Command lines of the project's tools parsed with CLI11.
#include "support/Cli/CommandLine.h"

#include <iostream>

#include "support/Cli/ProgramVersion.h"

namespace Support
{
namespace
{
constexpr int ExitUsage = 2;
}

std::optional<int> ParseCommandLine(CLI::App& app, const char* program, const char* usage, int argc, char** argv)
{
    app.set_help_flag("-h,--help");
    app.set_version_flag("--version", "");
    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::CallForHelp&)
    {
        std::cout << usage;
        return 0;
    }
    catch (const CLI::CallForVersion&)
    {
        PrintProgramVersion(program);
        return 0;
    }
    catch (const CLI::ParseError& error)
    {
        return ReportUsageError(program, error.what());
    }
    return std::nullopt;
}

int ReportUsageError(const char* program, const std::string& message)
{
    std::cerr << program << ": " << message << "\nTry '" << program << " --help'.\n";
    return ExitUsage;
}
} // namespace Support
