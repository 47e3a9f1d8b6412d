// --version of the project's command-line tools.
#include "support/Cli/ProgramVersion.h"

#include <cstdio>
#include <cstring>

#include "ScmCheckerVersion.h"

namespace Support
{
void PrintProgramVersion(const char* program)
{
    (void)std::printf(SCM_CHECKER_VERSION_FORMAT, program, SCM_CHECKER_REVISION_NUMBER, SCM_CHECKER_REVISION_NUMBER);
    (void)std::fflush(stdout);
}

bool AsksForVersion(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--") == 0)
        {
            return false;
        }
        if (std::strcmp(argv[i], "--version") == 0)
        {
            return true;
        }
    }
    return false;
}
} // namespace Support
