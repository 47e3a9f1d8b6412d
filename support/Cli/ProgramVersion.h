// --version of the project's command-line tools: the same two lines as the checker's.
#ifndef SUPPORT_CLI_PROGRAMVERSION_H
#define SUPPORT_CLI_PROGRAMVERSION_H

namespace Support
{
/// Prints the program's name with the project's version, then the checker's revision number, on standard output.
void PrintProgramVersion(const char* program);

/// True when the arguments (without the program's name) ask for --version anywhere before a "--".
bool AsksForVersion(int argc, char** argv);
} // namespace Support

#endif
