// Common base of every decoded safety frame: verification of both sub-frames and their header fields.
#ifndef EPLS_CDECODEDFRAME_H
#define EPLS_CDECODEDFRAME_H

#include <cstdint>

namespace Epls
{
class CDecodedFrameVisitor;

/// A verified SNMT or SSDO frame. The object points into the caller's frame buffer and stays valid only while
/// that buffer holds the frame and until the owning decoder decodes the next frame.
///
/// Frame layout: sub-frame 1 is ADR and ID (bytes 0 and 1), LE (byte 2), CT low (byte 3), LE payload bytes and
/// CRC 1; sub-frame 2 follows and is read after its first six bytes are XORed with the SCM UDID (zero for SNMT):
/// ADR XOR SDN (bytes 0 and 1), CT high (byte 2), TADR and TR (bytes 3 and 4), the payload copy (basic frames
/// only) and CRC 2. CRCs are one byte for LE up to 8, else two bytes.
class CDecodedFrame
{
public:
    static constexpr std::uint32_t ms_FrameLengthMin = 11u;
    static constexpr std::uint32_t ms_OneByteCrcLeMax = 9u;
    static constexpr std::uint32_t ms_SubFrame1LeOffset = 2u;
    static constexpr std::uint32_t ms_SubFrame1DbOffset = 4u;
    static constexpr std::uint32_t ms_BasicSubFrame2DbOffset = 5u;
    static constexpr std::uint32_t ms_SlimSubFrame2CrcOffset = 5u;
    static constexpr std::uint32_t ms_SubFrame1CtLowOffset = 3u;
    static constexpr std::uint32_t ms_SubFrame2CtHighOffset = 2u;

    CDecodedFrame();
    CDecodedFrame(const CDecodedFrame&) = delete;
    CDecodedFrame& operator=(const CDecodedFrame&) = delete;

    /// Calls the visitor operation named after the concrete class, or none for an unknown frame.
    virtual void Accept(CDecodedFrameVisitor& visitor) const = 0;
    virtual ~CDecodedFrame();

    // Readers of a raw frame. Each first checks the frame: null raises 0xE200, fewer than ms_FrameLengthMin
    // bytes raise 0xE2BE (FrameTooShort, information1 = frameLength). They verify nothing else.

    /// The frame identifier: byte 1 shifted right by 2.
    static std::uint8_t GetId(std::uint16_t frameLength, const std::uint8_t* frame);
    static bool IsBasic(std::uint16_t frameLength, const std::uint8_t* frame);
    static bool IsSlim(std::uint16_t frameLength, const std::uint8_t* frame);
    static bool IsSnmt(std::uint16_t frameLength, const std::uint8_t* frame);
    static bool IsSsdo(std::uint16_t frameLength, const std::uint8_t* frame);
    static bool IsSpdo(std::uint16_t frameLength, const std::uint8_t* frame);
    /// Byte 4, the first payload byte, whatever LE says.
    static std::uint8_t GetSnmtExtendedService(std::uint16_t frameLength, const std::uint8_t* frame);
    /// Byte 4, the first payload byte, whatever LE says.
    static std::uint8_t GetSsdoSodAccessCommand(std::uint16_t frameLength, const std::uint8_t* frame);

    /// Verifies the frame completely and extracts the header fields of both sub-frames. Only the frame decoder
    /// calls it. frame and scmUdid (6 bytes, XORed into sub-frame 2) must not be null (0xE200). Raises 0xE2BE
    /// (fewer than 11 bytes), 0xE2BF (frameLength differs from the length that LE gives the frame, in either
    /// direction), 0xE2C0 (CRC 1 or CRC 2 mismatch), 0xE2C1 (the two payload copies of a basic frame differ). On
    /// failure the object stays uninitialised.
    void Initialize(std::uint16_t frameLength, const std::uint8_t* frame, const std::uint8_t* scmUdid);

    // Decoded fields. Each raises 0xE200 unless the last Initialize succeeded.

    /// ADR, the 10-bit address of sub-frame 1.
    std::uint16_t GetAdr() const;
    std::uint8_t GetId() const;
    std::uint8_t GetLe() const;
    /// CT, low byte from sub-frame 1 and high byte from sub-frame 2.
    std::uint16_t GetCt() const;
    /// SDN, ADR XOR the 10-bit address field of sub-frame 2.
    std::uint16_t GetSdn() const;
    /// TADR, the 10-bit address of sub-frame 2.
    std::uint16_t GetTadr() const;
    /// TR, the 6 upper bits of byte 4 of sub-frame 2.
    std::uint8_t GetTr() const;
    /// The first payload byte of sub-frame 1, inside the caller's frame buffer.
    const std::uint8_t* GetDbs() const;

private:
    // The decoder checks the raw frame once, classifies it and then verifies it through VerifyAndDecode.
    friend class CFrameDecoder;

    /// Raises 0xE200 for a null frame and 0xE2BE for a frame shorter than ms_FrameLengthMin.
    static void CheckFrame(std::uint16_t frameLength, const std::uint8_t* frame);
    /// Initialize after CheckFrame has accepted the frame: raises 0xE200 for a null scmUdid, then 0xE2BF, 0xE2C0
    /// and 0xE2C1 as Initialize does.
    void VerifyAndDecode(std::uint16_t frameLength, const std::uint8_t* frame, const std::uint8_t* scmUdid);
    void CheckInitialized() const;

    const std::uint8_t* m_frame;
    std::uint16_t m_adr;
    std::uint8_t m_id;
    std::uint8_t m_le;
    std::uint16_t m_ct;
    std::uint16_t m_tadr;
    std::uint8_t m_tr;
    std::uint16_t m_sdn;
    bool m_initialized;
};
} // namespace Epls

#endif
