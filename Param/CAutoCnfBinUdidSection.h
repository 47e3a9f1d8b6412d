// The UDID section of the auto-configuration file, validated the first time it is read.
#ifndef PARAM_CAUTOCNFBINUDIDSECTION_H
#define PARAM_CAUTOCNFBINUDIDSECTION_H

#include <cstdint>

namespace Param
{
/// The automatically acknowledged UDIDs of "autocnf.bin": a section header, n entries of (safety address, UDID)
/// and a section CRC. Bound by CAutoCnfBin::ReadContent; validated on the first StartReadingUdids after binding.
class CAutoCnfBinUdidSection
{
public:
    static constexpr std::uint32_t ms_SectionLengthMin = 10u;
    static constexpr std::uint16_t ms_ModuleCountMax = 101u;
    static constexpr std::uint16_t ms_EntryLength = 8u;
    static constexpr std::uint16_t ms_Version = 0x300u;
    static constexpr std::uint16_t ms_EntryOffset = 8u;
    static constexpr std::uint32_t ms_SectionCrcLength = 4u;

    CAutoCnfBinUdidSection();
    CAutoCnfBinUdidSection(const CAutoCnfBinUdidSection&) = delete;
    CAutoCnfBinUdidSection& operator=(const CAutoCnfBinUdidSection&) = delete;

    /// Binds the section of length bytes at content, of which no more than length bytes may be read. Null
    /// content raises 0xE200; a length of 1..9 raises CAutoCnfBinEventCode::ModuleBufferTooShort
    /// (information1 = length) and leaves the section empty.
    void Initialize(std::uint32_t length, const std::uint8_t* content);
    /// As above, where the bytes that follow the section up to availableLength (≥ length) may also be read: a
    /// section CRC that reaches past the declared section length but not past the content is accepted.
    void Initialize(std::uint32_t length, const std::uint8_t* content, std::uint32_t availableLength);

    /// Hands out the 8n entry bytes. The first call after Initialize validates the section and raises
    /// CAutoCnfBinEventCode::InvalidModuleCount, InvalidEntries, InvalidEntryLength, InvalidModuleVersion,
    /// InvalidEntryOffset or InvalidModuleCrc (information1 = the stored CRC, or the section offset of the CRC
    /// where it would lie beyond the content); an empty section has no entries. Refused (0xE200) before
    /// Initialize.
    void StartReadingUdids(std::uint32_t& entriesLength, const std::uint8_t*& entries);

private:
    void Validate();

    std::uint32_t m_contentLength;
    const std::uint8_t* m_content;
    std::uint32_t m_entriesLength;
    const std::uint8_t* m_entries;
    bool m_read;
    std::uint32_t m_availableLength;
};
} // namespace Param

#endif
