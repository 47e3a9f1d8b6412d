// The ten files of a domain's storage directory, validated and listed as the checker reads them.
#ifndef TOOLS_SCMFILES_DOMAINFILES_H
#define TOOLS_SCMFILES_DOMAINFILES_H

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "Util/CException.h"

namespace ScmFiles
{
/// What became of one file: valid, refused with the checker's exception, or not there.
struct CFileResult
{
    enum class Status
    {
        Ok,
        Refused,
        Absent
    };
    Status m_status = Status::Ok;
    Util::CException m_refusal{0u};
};

/// The storage names in the order the checker loads them: seven plain files and three check copies.
const std::vector<std::string>& GetFileNames();
bool IsFileName(const std::string& name);

/// Loads the file from the directory into a buffer of the checker's size and validates it completely: the file
/// class, the sections validated on first read and every record through the file's own readers (and, for the
/// parameter container, through the filters of the checks). With records, every record is also printed, one
/// key=value line each, values complemented back to plain for a check copy.
CFileResult ProcessFile(const std::string& directory, const std::string& name, std::ostream* records);

/// The length of the buffer in which the checker reads the file; 0 for another name.
std::uint32_t GetBufferLength(const std::string& name);

/// As ProcessFile for content already at the start of buffer, which holds GetBufferLength(name) bytes: the file
/// classes read it in place. Another name gives Absent.
CFileResult ProcessBuffer(const std::string& name, std::uint8_t* buffer, std::uint32_t contentLength,
                          std::ostream* records);

/// "file=NAME status=ok", "file=NAME status=absent" or "file=NAME status=refused error=0xE2.. name=.. info0=..
/// info1=..".
std::string FormatResult(const std::string& name, const CFileResult& result);
} // namespace ScmFiles

#endif
