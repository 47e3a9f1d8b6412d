// Runs a shell command for the tests and collects its standard output and exit status.
#ifndef TESTS_INTEROP_PROCESSRUNNER_H
#define TESTS_INTEROP_PROCESSRUNNER_H

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace InteropTest
{
struct CProcessResult
{
    std::string m_output;
    int m_exitStatus;
};

/// Runs command through /bin/sh; standard error goes where the test's goes unless the command redirects it.
inline CProcessResult Run(const std::string& command)
{
    CProcessResult result{"", -1};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
    {
        return result;
    }
    std::array<char, 4096> buffer{};
    std::size_t count = 0u;
    while ((count = std::fread(buffer.data(), 1u, buffer.size(), pipe)) > 0u)
    {
        result.m_output.append(buffer.data(), count);
    }
    const int status = pclose(pipe);
    result.m_exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline bool IsInstalled(const std::string& program)
{
    return Run("command -v " + program + " >/dev/null 2>&1").m_exitStatus == 0;
}

inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (const char character : text)
    {
        if (character == '\n')
        {
            lines.push_back(line);
            line.clear();
        }
        else
        {
            line.push_back(character);
        }
    }
    if (!line.empty())
    {
        lines.push_back(line);
    }
    return lines;
}

/// A fresh directory under the system's temporary directory, removed with the object.
class CTemporaryDirectory
{
public:
    CTemporaryDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "scm-interop-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
        {
            m_path = pattern;
        }
    }
    ~CTemporaryDirectory()
    {
        if (!m_path.empty())
        {
            std::error_code error;
            std::filesystem::remove_all(m_path, error);
        }
    }
    CTemporaryDirectory(const CTemporaryDirectory&) = delete;
    CTemporaryDirectory& operator=(const CTemporaryDirectory&) = delete;

    const std::filesystem::path& GetPath() const
    {
        return m_path;
    }

private:
    std::filesystem::path m_path;
};
} // namespace InteropTest

#endif
