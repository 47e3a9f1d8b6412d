// Event codes of the auto-configuration file.
#ifndef PARAM_CAUTOCNFBINEVENTCODE_H
#define PARAM_CAUTOCNFBINEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CAutoCnfBinEventCode
{
    // One line per code: when it is raised, what information0 and information1 carry.
    // clang-format off
    enum Enum : std::uint16_t
    {
        BufferTooShort = ScmAutoCnfBinBufferTooShort, ///< content longer than the buffer; information0 = capacity (low 16 bits), information1 = content length
        InvalidContentLength = ScmAutoCnfBinInvalidContentLength, ///< content of 1..63 bytes; information1 = content length
        InvalidSectionCount = ScmAutoCnfBinInvalidSectionCount, ///< section count above 5; information1 = the value
        InvalidHeaderLength = ScmAutoCnfBinInvalidHeaderLength, ///< header length is not 64; information1 = the value
        InvalidVersion = ScmAutoCnfBinInvalidVersion, ///< version is not 0x400; information1 = the value
        InvalidUdidInformationSectionOffset = ScmAutoCnfBinInvalidUdidInformationSectionOffset, ///< UDID section information offset is not 8; information1 = the value
        InvalidUdids = ScmAutoCnfBinInvalidUdids, ///< UDID section runs past the content; information0 = offset, information1 = length (low 16 bits)
        InvalidUdidSectionOffset = ScmAutoCnfBinInvalidUdidSectionOffset, ///< UDID section offset is not 64 (not 0 for an empty section); information1 = the offset
        InvalidMachineOptions = ScmAutoCnfBinInvalidMachineOptions, ///< machine options run past the content; information0 = offset, information1 = length
        InvalidMachineOptionSectionLength = ScmAutoCnfBinInvalidMachineOptionSectionLength, ///< machine-option section length is neither 0 nor 76; information1 = the length
        InvalidMachineOptionSectionOffset = ScmAutoCnfBinInvalidMachineOptionSectionOffset, ///< machine-option offset below 64 (not 0 for an empty section); information1 = the offset
        InvalidModuleFlags = ScmAutoCnfBinInvalidModuleFlags, ///< module flags run past the content; information0 = offset, information1 = length (low 16 bits)
        InvalidModuleFlagSectionLength = ScmAutoCnfBinInvalidModuleFlagSectionLength, ///< module-flag section length is neither 0 nor 396; information1 = the length
        InvalidModuleFlagSectionOffset = ScmAutoCnfBinInvalidModuleFlagSectionOffset, ///< module-flag offset below 64 (not 0 for an empty section); information1 = the offset
        InvalidHeaderCrc = ScmAutoCnfBinInvalidHeaderCrc, ///< header CRC mismatch; information1 = the computed CRC
        ModuleBufferTooShort = ScmAutoCnfBinModuleBufferTooShort, ///< UDID section of 1..9 bytes; information1 = its length
        InvalidModuleCount = ScmAutoCnfBinInvalidModuleCount, ///< first read of the UDID section: module count 102 or more; information1 = the count
        InvalidEntries = ScmAutoCnfBinInvalidEntries, ///< first read of the UDID section: entries run past the section; information1 = 8n
        InvalidEntryLength = ScmAutoCnfBinInvalidEntryLength, ///< first read of the UDID section: entry length is not 8; information1 = the value
        InvalidModuleVersion = ScmAutoCnfBinInvalidModuleVersion, ///< first read of the UDID section: version is not 0x300; information1 = the value
        InvalidEntryOffset = ScmAutoCnfBinInvalidEntryOffset, ///< first read of the UDID section: entry offset is not 8; information1 = the value
        InvalidModuleCrc = ScmAutoCnfBinInvalidModuleCrc, ///< first read of the UDID section: section CRC mismatch (information1 = the stored CRC), or the CRC would lie beyond the content (information1 = its section offset 8 + 8n)
        InvalidFileCrc = ScmAutoCnfBinInvalidFileCrc, ///< file CRC mismatch (information1 = the computed CRC), or the CRC would lie beyond the content (information1 = its offset)
    };
    // clang-format on
};
} // namespace Param

#endif
