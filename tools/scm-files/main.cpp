// scm-files: validates and lists the files of a safety domain's storage directory as the checker reads them.
#include <iostream>
#include <optional>
#include <string>

#include "support/Cli/CommandLine.h"
#include "tools/scm-files/DomainFiles.h"

namespace
{
constexpr int ExitOk = 0;
constexpr int ExitRefused = 1;

constexpr const char* HelpText =
    R"(Usage: scm-files check DIR
   or: scm-files dump DIR FILE
   or: scm-files --help | --version

Validates the files of a safety domain's storage directory (for the emulated kernel:
<kernel root>/scm%04u/storage) completely, as the SCM checker meets them at start-up: each file is loaded into
a buffer of the checker's size and validated by its file class, then every record is read through the file's
own readers (the UDID section of "autocnf.bin" is validated when first read; "tol_para.saf" is read as its
plain parameter stream and through the filters of the checks). The first refusal of a file is reported.

Files, in the order of loading: tessera.uid, tessera.uid.chk, tessera.dat, tessera.dat.chk, tol_para.saf,
autocnf.bin, emodata1.bin, pardata1.bin, fwrevcnf.bin, fwrevcnf.bin.chk.

Commands:
  check DIR
        Prints one line per file:
          file=NAME status=ok
          file=NAME status=absent
          file=NAME status=refused error=0xE2NN name=ENUMERATOR info0=N info1=N
        with the event code, its enumerator and information values as the checker would log them (a file longer
        than the checker's buffer is refused as the file storage refuses it, error=0xE230).
  dump DIR FILE
        Prints the records of one file, one line each, as its reader delivers them; a check copy's values are
        complemented back to plain, so that a file and its copy compare line by line:
          tessera.dat, tessera.dat.chk    sadr=N udid=HEX (the plain file's reader skips all-zero UDIDs)
          tessera.uid, tessera.uid.chk    kel_udid=HEX timestamp=N
          fwrevcnf.bin, fwrevcnf.bin.chk  sadr=N minor=N (the plain file's reader skips minor revision 0), then
                                          has_cpu_id=0|1 cpu_id=HEX has_kel_udid=0|1 kel_udid=HEX
                                          has_password=0|1 password=HEX tessera_empty=0|1 setup_mode=0|1
          autocnf.bin                     timestamp=N, then sadr=N udid=HEX per non-zero UDID, then
                                          machine_options=HEX when the section exists
          pardata1.bin                    sadr=N number=N per additional parameter
          emodata1.bin                    timestamp=N length=N
          tol_para.saf                    index=0xNNNN subindex=N length=N data=HEX per SCM-section record
        A refused or absent file ends the listing with its check line.

--version prints the version and the checker's revision number.

Byte strings are contiguous lowercase hexadecimal; numbers are decimal unless 0x-prefixed.

Exit codes: 0 all present files are valid (dump: the file is valid), 1 a file is refused (dump: or absent),
2 usage error (also a DIR that is not a directory).
)";

int Check(const std::string& directory)
{
    int exitCode = ExitOk;
    for (const std::string& name : ScmFiles::GetFileNames())
    {
        const ScmFiles::CFileResult result = ScmFiles::ProcessFile(directory, name, nullptr);
        std::cout << ScmFiles::FormatResult(name, result) << '\n';
        if (result.m_status == ScmFiles::CFileResult::Status::Refused)
        {
            exitCode = ExitRefused;
        }
    }
    return exitCode;
}

int Dump(const std::string& directory, const std::string& name)
{
    const ScmFiles::CFileResult result = ScmFiles::ProcessFile(directory, name, &std::cout);
    if (result.m_status == ScmFiles::CFileResult::Status::Ok)
    {
        return ExitOk;
    }
    std::cout << ScmFiles::FormatResult(name, result) << '\n';
    return ExitRefused;
}
} // namespace

int main(int argc, char** argv)
{
    std::string directory;
    std::string name;
    CLI::App app("", "scm-files");
    app.require_subcommand(1);
    CLI::App* check = app.add_subcommand("check");
    check->add_option("DIR", directory)->required()->check(CLI::ExistingDirectory);
    CLI::App* dump = app.add_subcommand("dump");
    dump->add_option("DIR", directory)->required()->check(CLI::ExistingDirectory);
    dump->add_option("FILE", name)
        ->required()
        ->check([](const std::string& file)
                { return ScmFiles::IsFileName(file) ? std::string() : "unknown file: " + file; });
    if (const std::optional<int> exitStatus = Support::ParseCommandLine(app, "scm-files", HelpText, argc, argv))
    {
        return *exitStatus;
    }
    return check->parsed() ? Check(directory) : Dump(directory, name);
}
