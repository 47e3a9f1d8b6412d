// Event codes of the firmware revision file.
#ifndef PARAM_CFWREVCNFBINEVENTCODE_H
#define PARAM_CFWREVCNFBINEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CFwRevCnfBinEventCode
{
    // One line per code: when it is raised, what information0 and information1 carry.
    // clang-format off
    enum Enum : std::uint16_t
    {
        BufferTooShort = ScmFwRevCnfBinBufferTooShort, ///< content of 1..11 bytes (information1 = content length), longer than the buffer (information0 = capacity, low 16 bits; information1 = content length), or a check-copy buffer below 53 bytes (information1 = capacity)
        InvalidEntries = ScmFwRevCnfBinInvalidEntries, ///< module entries run past the content; information0 = 8 (their offset), information1 = 4n
        InvalidAuthentification = ScmFwRevCnfBinInvalidAuthentification, ///< content ends inside the module CRC or the 41-byte authentication section; information1 = its offset 12 + 4n
        InvalidModuleCount = ScmFwRevCnfBinInvalidModuleCount, ///< module count 1024 or more; information1 = the count
        InvalidEntryLength = ScmFwRevCnfBinInvalidEntryLength, ///< entry length is not 4; information1 = the value
        InvalidVersion = ScmFwRevCnfBinInvalidVersion, ///< version is not 0x0101; information1 = the value
        InvalidEntryOffset = ScmFwRevCnfBinInvalidEntryOffset, ///< entry offset is not 8; information1 = the value
        InvalidModuleCrc = ScmFwRevCnfBinInvalidModuleCrc, ///< module CRC mismatch; information1 = the computed CRC
        InvalidAuthentificationSectionLength = ScmFwRevCnfBinInvalidAuthentificationSectionLength, ///< authentication section length field is not 8; information1 = the value
        InvalidAuthentificationDataOffset = ScmFwRevCnfBinInvalidAuthentificationDataOffset, ///< authentication data offset is not 4; information1 = the value
        InvalidFeatureFlags = ScmFwRevCnfBinInvalidFeatureFlags, ///< feature flags with any of bits 5..15 set; information1 = the flags
        InvalidAuthentificationCrc = ScmFwRevCnfBinInvalidAuthentificationCrc, ///< authentication CRC mismatch; information1 = the computed CRC
    };
    // clang-format on
};
} // namespace Param

#endif
