// The programs as installed: --version before anything else, a man page naming every option of --help, and units
// that systemd accepts and that never restart the checker.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ScmCheckerVersion.h"
#include "tests/interop/ProcessRunner.h"

namespace
{
namespace fs = std::filesystem;

struct CProgram
{
    std::string m_name;
    int m_manSection;
    std::string m_path;
};

std::ostream& operator<<(std::ostream& stream, const CProgram& program)
{
    return stream << program.m_name;
}

// Every installed program, as the build lists them: the checker and each tool.
std::vector<CProgram> InstalledPrograms()
{
    std::vector<CProgram> programs;
    std::ifstream list(SCM_PROGRAMS_FILE);
    CProgram program;
    while (list >> program.m_name >> program.m_manSection >> program.m_path)
    {
        programs.push_back(program);
    }
    return programs;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream input(path);
    return std::string(std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>());
}

class ProgramTest : public testing::TestWithParam<CProgram>
{
};

// An empty environment: the checker answers --version without a domain number, and tools need none either.
TEST_P(ProgramTest, VersionNamesProjectVersionAndRevisionNumber)
{
    const CProgram& program = GetParam();
    const auto result = InteropTest::Run("env -i " + program.m_path + " --version");
    char expected[128];
    (void)std::snprintf(expected, sizeof expected, "%s (SCM checker) %s\nrevision number %u (0x%08X)\n",
                        program.m_name.c_str(), SCM_PROJECT_VERSION, SCM_CHECKER_REVISION_NUMBER,
                        SCM_CHECKER_REVISION_NUMBER);
    EXPECT_EQ(0, result.m_exitStatus);
    EXPECT_EQ(expected, result.m_output);
}

TEST_P(ProgramTest, ManPageNamesEveryOptionOfHelp)
{
    const CProgram& program = GetParam();
    const fs::path page = fs::path(SCM_MAN_DIR) / ("man" + std::to_string(program.m_manSection)) /
                          (program.m_name + "." + std::to_string(program.m_manSection));
    if (std::string(SCM_MAN_DIR).empty())
    {
        GTEST_SKIP() << "built without help2man: no man pages";
    }
    ASSERT_TRUE(fs::exists(page)) << page;
    // roff escapes every minus sign.
    const std::string man = std::regex_replace(ReadFile(page), std::regex(R"(\\-)"), "-");
    const auto help = InteropTest::Run("env -i " + program.m_path + " --help");
    ASSERT_EQ(0, help.m_exitStatus);

    const std::regex option(R"((^|[^\w-])(--[a-z][a-z0-9-]*))");
    std::set<std::string> options;
    for (std::sregex_iterator it(help.m_output.begin(), help.m_output.end(), option), end; it != end; ++it)
    {
        options.insert((*it)[2]);
    }
    EXPECT_TRUE(options.count("--help") == 1u && options.count("--version") == 1u) << help.m_output;
    for (const std::string& name : options)
    {
        EXPECT_NE(std::string::npos, man.find(name)) << name << " is missing from " << page;
    }
}

INSTANTIATE_TEST_SUITE_P(Installed, ProgramTest, testing::ValuesIn(InstalledPrograms()),
                         [](const testing::TestParamInfo<CProgram>& programInfo)
                         {
                             std::string name = programInfo.param.m_name;
                             name.erase(0, 4); // "scm-"
                             return name;
                         });

// The checker takes no argument besides those two, and not with another: anything else is a usage error (2) before it
// reads its environment.
TEST(CheckerCommandLine, RefusesAnyOtherArgumentsWithTwo)
{
    const std::vector<CProgram> programs = InstalledPrograms();
    const auto checker = std::find_if(programs.begin(), programs.end(),
                                      [](const CProgram& program) { return program.m_name == "scm-checker"; });
    ASSERT_NE(programs.end(), checker);
    for (const std::string arguments : {"--frobnicate", "--help --version", "7"})
    {
        const auto result = InteropTest::Run("env -i " + checker->m_path + " " + arguments + " 2>&1");
        EXPECT_EQ(2, result.m_exitStatus) << arguments;
        EXPECT_NE(std::string::npos, result.m_output.find("Try 'scm-checker --help'")) << result.m_output;
    }
}

// systemd-analyze loads the unit of domain 7 as systemd would, with the build's checker and man pages: any warning
// (an unknown or misspelt setting, a missing dependency or man page) fails the test.
TEST(CheckerUnit, SystemdAcceptsTheUnitOfADomain)
{
    if (!InteropTest::IsInstalled("systemd-analyze"))
    {
        GTEST_SKIP() << "systemd-analyze is not installed";
    }
    const fs::path directory = fs::path(testing::TempDir()) / "scm-units";
    fs::remove_all(directory);
    fs::create_directories(directory);
    for (const char* unit : {"scm-checker@.service", "scm-domain@.target"})
    {
        fs::copy_file(fs::path(SCM_UNITS_DIR) / unit, directory / unit);
    }
    fs::create_symlink("scm-checker@.service", directory / "scm-checker@7.service");
    const std::string manOption = std::string(SCM_MAN_DIR).empty() ? "--man=no " : "";
    const auto result = InteropTest::Run("MANPATH=" + std::string(SCM_MAN_DIR) + " systemd-analyze verify " +
                                         manOption + (directory / "scm-checker@7.service").string() + " 2>&1");
    EXPECT_EQ(0, result.m_exitStatus) << result.m_output;
    EXPECT_EQ("", result.m_output);
    fs::remove_all(directory);
}

// The fail-safe latch lives as long as the process: whatever else changes in the unit, it never restarts the checker.
TEST(CheckerUnit, NeverRestartsTheChecker)
{
    std::istringstream unit(ReadFile(fs::path(SCM_UNITS_DIR) / "scm-checker@.service"));
    int restartSettings = 0;
    for (std::string line; std::getline(unit, line);)
    {
        if (line.rfind("Restart", 0) == 0)
        {
            EXPECT_EQ("Restart=no", line);
            ++restartSettings;
        }
    }
    EXPECT_EQ(1, restartSettings);
}
} // namespace
