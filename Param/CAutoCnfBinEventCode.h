// Event codes of the auto-configuration file.
#ifndef PARAM_CAUTOCNFBINEVENTCODE_H
#define PARAM_CAUTOCNFBINEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CAutoCnfBinEventCode
{
    enum Enum : std::uint16_t
    {
        BufferTooShort = ScmAutoCnfBinBufferTooShort,
        InvalidContentLength = ScmAutoCnfBinInvalidContentLength,
        InvalidSectionCount = ScmAutoCnfBinInvalidSectionCount,
        InvalidHeaderLength = ScmAutoCnfBinInvalidHeaderLength,
        InvalidVersion = ScmAutoCnfBinInvalidVersion,
        InvalidUdidInformationSectionOffset = ScmAutoCnfBinInvalidUdidInformationSectionOffset,
        InvalidUdids = ScmAutoCnfBinInvalidUdids,
        InvalidUdidSectionOffset = ScmAutoCnfBinInvalidUdidSectionOffset,
        InvalidMachineOptions = ScmAutoCnfBinInvalidMachineOptions,
        InvalidMachineOptionSectionLength = ScmAutoCnfBinInvalidMachineOptionSectionLength,
        InvalidMachineOptionSectionOffset = ScmAutoCnfBinInvalidMachineOptionSectionOffset,
        InvalidModuleFlags = ScmAutoCnfBinInvalidModuleFlags,
        InvalidModuleFlagSectionLength = ScmAutoCnfBinInvalidModuleFlagSectionLength,
        InvalidModuleFlagSectionOffset = ScmAutoCnfBinInvalidModuleFlagSectionOffset,
        InvalidHeaderCrc = ScmAutoCnfBinInvalidHeaderCrc,
        ModuleBufferTooShort = ScmAutoCnfBinModuleBufferTooShort,
        InvalidModuleCount = ScmAutoCnfBinInvalidModuleCount,
        InvalidEntries = ScmAutoCnfBinInvalidEntries,
        InvalidEntryLength = ScmAutoCnfBinInvalidEntryLength,
        InvalidModuleVersion = ScmAutoCnfBinInvalidModuleVersion,
        InvalidEntryOffset = ScmAutoCnfBinInvalidEntryOffset,
        InvalidModuleCrc = ScmAutoCnfBinInvalidModuleCrc,
        InvalidFileCrc = ScmAutoCnfBinInvalidFileCrc,
    };
};
} // namespace Param

#endif
