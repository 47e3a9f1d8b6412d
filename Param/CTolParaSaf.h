// The safety parameter container "tol_para.saf": validation of a loaded file and access to its SCM section.
#ifndef PARAM_CTOLPARASAF_H
#define PARAM_CTOLPARASAF_H

#include <cstdint>

namespace Param
{
/// Works in place on the caller's buffer (not owned). A 64-byte header locates the SCM section (an SOD parameter
/// stream) and one CRC-32 per 16384-byte block of it; the other sections are not examined. The parameter records are
/// validated only as they are read (CTolParaSafScmSectionParameterReader and the CParameter… filters).
class CTolParaSaf
{
public:
    static constexpr std::uint32_t ms_HeaderLength = 64u;
    static constexpr std::uint16_t ms_Version = 0x200u;
    static constexpr std::uint32_t ms_ScmSectionOffsetOffset = 28u;
    static constexpr std::uint32_t ms_ScmSectionVersion = 0x101u;
    static constexpr std::uint32_t ms_HeaderCrcLength = 2u;
    static constexpr std::uint32_t ms_ParameterCrcBlockLengthMax = 16384u;
    static constexpr std::uint32_t ms_ParameterCrcLength = 4u;

    /// A null buffer raises 0xE200.
    CTolParaSaf(std::uint32_t contentBufferLength, const std::uint8_t* contentBuffer);

    /// Validates the first contentLength bytes of the buffer (filled by the caller); 0 stands for an empty file with
    /// an empty SCM section. Refused (0xE200) while the section is being read. Raises, in this order:
    /// 0xE253 (content beyond the buffer: info0 = capacity low 16 bits; or 1..63 bytes), 0xE254 header length,
    /// 0xE255 version, 0xE256 total length, 0xE257 SCM section version, 0xE258 header CRC (info1 = stored CRC),
    /// 0xE259 section offset, 0xE25A section length, 0xE25B CRC offset, 0xE25C CRC count, 0xE25D CRC length (the
    /// layout bounds taken against the content length), 0xE25E block CRC (info1 = computed CRC). A failed read
    /// leaves the object unread.
    void ReadContent(std::uint32_t contentLength);
    /// Hands out the SCM section. Refused (0xE200) before a successful read or while already reading.
    void StartReadingScmSection(std::uint32_t& scmSectionLength, const std::uint8_t*& scmSection);
    /// Refused (0xE200) when the section is not being read.
    void StopReadingScmSection();

private:
    void ReadHeader();
    void CheckScmSectionCrcs() const;

    std::uint32_t m_contentBufferLength;
    const std::uint8_t* m_contentBuffer;
    std::uint32_t m_contentLength;
    std::uint32_t m_scmSectionLength;
    const std::uint8_t* m_scmSection;
    bool m_read;
    bool m_open;
};
} // namespace Param

#endif
