// The auto-configuration file "autocnf.bin": header, UDID section, machine options, module flags, file CRC.
#ifndef PARAM_CAUTOCNFBIN_H
#define PARAM_CAUTOCNFBIN_H

#include <cstdint>

#include "Param/CAutoCnfBinUdidSection.h"

namespace Param
{
/// Validates a loaded "autocnf.bin" in the caller's buffer (read only) and exposes its timestamp, its machine
/// options and its UDID section, which is validated when first read (CAutoCnfBinUdidSectionUdidReader).
class CAutoCnfBin
{
public:
    static constexpr std::uint32_t ms_HeaderLength = 64u;
    static constexpr std::uint16_t ms_SectionCountMax = 5u;
    static constexpr std::uint16_t ms_Version = 0x400u;
    static constexpr std::uint16_t ms_UdidSectionInformationOffset = 8u;
    static constexpr std::uint32_t ms_MachineOptionSectionLength = 76u;
    static constexpr std::uint32_t ms_ModuleFlagSectionLength = 396u;
    static constexpr std::uint32_t ms_HeaderCrcLength = 4u;
    static constexpr std::uint32_t ms_FileCrcLength = 4u;
    /// Header field offsets.
    static constexpr std::uint32_t ms_SectionCountOffset = 0u;
    static constexpr std::uint32_t ms_HeaderLengthOffset = 2u;
    static constexpr std::uint32_t ms_VersionOffset = 4u;
    static constexpr std::uint32_t ms_UdidSectionInformationOffsetOffset = 6u;
    static constexpr std::uint32_t ms_TimestampOffset = 8u;
    static constexpr std::uint32_t ms_UdidSectionLengthOffset = 12u;
    static constexpr std::uint32_t ms_UdidSectionOffsetOffset = 16u;
    static constexpr std::uint32_t ms_MachineOptionSectionLengthOffset = 20u;
    static constexpr std::uint32_t ms_MachineOptionSectionOffsetOffset = 24u;
    static constexpr std::uint32_t ms_ModuleFlagSectionLengthOffset = 28u;
    static constexpr std::uint32_t ms_ModuleFlagSectionOffsetOffset = 32u;
    static constexpr std::uint32_t ms_HeaderCrcOffset = 60u;

    /// The buffer is the caller's and must outlive the object; null raises 0xE200.
    CAutoCnfBin(std::uint32_t contentBufferLength, const std::uint8_t* contentBuffer);
    CAutoCnfBin(const CAutoCnfBin&) = delete;
    CAutoCnfBin& operator=(const CAutoCnfBin&) = delete;

    /// Validates the first contentLength bytes of the buffer; 0 stands for an empty file (no UDIDs, no machine
    /// options, timestamp 0). Raises the codes of CAutoCnfBinEventCode in the order of the header fields, the
    /// three sections, the header CRC and the file CRC (InvalidFileCrc with information1 = the CRC's offset where
    /// it would lie beyond the content, else the computed CRC). The UDID section is left empty until a read
    /// succeeds; a failed read leaves the object unread.
    void ReadContent(std::uint32_t contentLength);

    // Refused (0xE200) before a successful read.
    std::uint32_t GetTimestamp() const;
    bool HasMachineOptionSection() const;
    /// The 76 bytes of machine options inside the buffer.
    void GetRawMachineOptionSection(std::uint16_t& sectionLength, const std::uint8_t*& section) const;

    /// The UDID section, for its reader.
    CAutoCnfBinUdidSection& GetUdidSection();

private:
    std::uint32_t m_contentBufferLength;
    const std::uint8_t* m_contentBuffer;
    std::uint32_t m_contentLength;
    CAutoCnfBinUdidSection m_udidSection;
    std::uint32_t m_timestamp;
    std::uint16_t m_machineOptionsSectionLength;
    const std::uint8_t* m_machineOptionsSection;
    bool m_read;
};
} // namespace Param

#endif
