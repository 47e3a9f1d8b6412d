// The internal-consistency guard and the per-file identifier it reports.
#ifndef UTIL_FILEIDENTIFIER_H
#define UTIL_FILEIDENTIFIER_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"
#include "Util/CException.h"

namespace Util
{
/// Adler-32 of a file's base name: the identifier that a guard event carries in information1. Each .cpp that
/// uses SCM_GUARD declares `constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("<its name>");`
/// (or one of the few fixed constants) near its top; a test checks that the names match and the values differ.
constexpr std::uint32_t GetFileIdentifier(const char* baseName)
{
    std::uint32_t a = 1u;
    std::uint32_t b = 0u;
    for (const char* p = baseName; *p != '\0'; ++p)
    {
        a = (a + static_cast<std::uint8_t>(*p)) % 65521u;
        b = (b + a) % 65521u;
    }
    return (b << 16) | a;
}

/// Event code of the guard.
constexpr std::uint16_t InternalConsistencyEventCode = ScmInternalConsistency;
} // namespace Util

/// Internal-consistency guard: a state or argument that callers must never produce throws
/// CException(0xE200, source line, FileIdentifier). Never used to validate external input.
#define SCM_GUARD(condition)                                                                                           \
    do                                                                                                                 \
    {                                                                                                                  \
        if (!(condition))                                                                                              \
        {                                                                                                              \
            throw ::Util::CException(::Util::InternalConsistencyEventCode, static_cast<std::uint16_t>(__LINE__),       \
                                     FileIdentifier);                                                                  \
        }                                                                                                              \
    } while (false)

#endif
