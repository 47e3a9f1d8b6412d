// Event codes of the firmware revision file.
#ifndef PARAM_CFWREVCNFBINEVENTCODE_H
#define PARAM_CFWREVCNFBINEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CFwRevCnfBinEventCode
{
    enum Enum : std::uint16_t
    {
        BufferTooShort = ScmFwRevCnfBinBufferTooShort,
        InvalidEntries = ScmFwRevCnfBinInvalidEntries,
        InvalidAuthentification = ScmFwRevCnfBinInvalidAuthentification,
        InvalidModuleCount = ScmFwRevCnfBinInvalidModuleCount,
        InvalidEntryLength = ScmFwRevCnfBinInvalidEntryLength,
        InvalidVersion = ScmFwRevCnfBinInvalidVersion,
        InvalidEntryOffset = ScmFwRevCnfBinInvalidEntryOffset,
        InvalidModuleCrc = ScmFwRevCnfBinInvalidModuleCrc,
        InvalidAuthentificationSectionLength = ScmFwRevCnfBinInvalidAuthentificationSectionLength,
        InvalidAuthentificationDataOffset = ScmFwRevCnfBinInvalidAuthentificationDataOffset,
        InvalidFeatureFlags = ScmFwRevCnfBinInvalidFeatureFlags,
        InvalidAuthentificationCrc = ScmFwRevCnfBinInvalidAuthentificationCrc,
    };
};
} // namespace Param

#endif
