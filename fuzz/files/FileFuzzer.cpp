// Fuzz target of one file class of the domain, named by SCM_FUZZ_FILE_NAME: the input is the file's content in a
// buffer of the checker's size whose bytes after the content are poisoned. scm-files' validation reads it through
// ReadContent and then every reader of the file (for the safety parameters, also the filters of the checks);
// a refusal must carry one of the file's own codes, never the guard's.
#include <cstddef>
#include <cstdint>

#include "Util/FileIdentifier.h"
#include "fuzz/common/CPoisonedBuffer.h"
#include "fuzz/common/FuzzSupport.h"
#include "tools/scm-files/DomainFiles.h"

#if !defined(SCM_FUZZ_FILE_NAME)
#error "SCM_FUZZ_FILE_NAME names the storage"
#endif

namespace
{
const std::string FileName = SCM_FUZZ_FILE_NAME;
const std::uint32_t BufferLength = ScmFiles::GetBufferLength(FileName);
Fuzz::CPoisonedBuffer buffer(BufferLength);
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FUZZ_REQUIRE(BufferLength != 0u, "the target names a file of the domain");
    if (size > BufferLength)
    {
        return 0;
    }
    buffer.Load(data, static_cast<std::uint32_t>(size));
    const ScmFiles::CFileResult result =
        ScmFiles::ProcessBuffer(FileName, buffer.Data(), static_cast<std::uint32_t>(size), nullptr);
    if (result.m_status == ScmFiles::CFileResult::Status::Refused)
    {
        FUZZ_REQUIRE(result.m_refusal.m_eventCode != Util::InternalConsistencyEventCode,
                     "no content brings a file class into a state its callers must never produce");
    }
    return 0;
}
