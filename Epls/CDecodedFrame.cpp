// Verification and header decoding of safety frames.
#include "Epls/CDecodedFrame.h"

#include <cstring>

#include "Epls/CFrameDecoderEventCode.h"
#include "Epls/Id.h"
#include "Scm/QdriffCrc.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CDecodedFrame.cpp");

constexpr std::uint32_t AdrByteOffset = 1u;
constexpr std::uint32_t IdShift = 2u;
constexpr std::uint32_t AddressHighMask = 0x03u;
constexpr std::uint32_t SubFrame2TadrOffset = 3u;
constexpr std::uint32_t SubFrame2TrOffset = 4u;
// Only the first six bytes of sub-frame 2 are XORed with the SCM UDID.
constexpr std::uint32_t ScmUdidLength = 6u;
// Sub-frame 2 without payload: ADR XOR SDN and ID (2), CT high (1), TADR and TR (2).
constexpr std::uint32_t SubFrame2HeaderLength = 5u;
// The frame length beyond the payload copies and the four CRC bytes: 4 header bytes of sub-frame 1 and 5 of
// sub-frame 2.
constexpr std::uint32_t HeaderLengths = 9u;
constexpr std::uint32_t SubFrame2LengthMax = SubFrame2HeaderLength + 255u + 2u;

std::uint16_t GetTenBitAddress(std::uint8_t lowByte, std::uint8_t highByte)
{
    return static_cast<std::uint16_t>(lowByte | ((highByte & AddressHighMask) << 8));
}

std::uint32_t ComputeCrc(bool isBasic, std::uint32_t crcLength, std::uint32_t dataLength, const std::uint8_t* data)
{
    if (crcLength == 1u)
    {
        return GetCrc8_0x12F(dataLength, data);
    }
    return isBasic ? GetCrc16_0x1755B(dataLength, data) : GetCrc16_0x15935(dataLength, data);
}

std::uint32_t ReadCrc(std::uint32_t crcLength, const std::uint8_t* crc)
{
    return (crcLength == 1u) ? crc[0] : Util::GetLittleEndianUInt16(crc, 0u);
}
} // namespace

namespace Epls
{
CDecodedFrame::CDecodedFrame()
    : m_frame(nullptr), m_adr(0u), m_id(0u), m_le(0u), m_ct(0u), m_tadr(0u), m_tr(0u), m_sdn(0u), m_initialized(false)
{
}

CDecodedFrame::~CDecodedFrame()
{
    m_frame = nullptr;
}

void CDecodedFrame::CheckFrame(std::uint16_t frameLength, const std::uint8_t* frame)
{
    SCM_GUARD(frame != nullptr);
    if (frameLength < ms_FrameLengthMin)
    {
        throw Util::CException(CFrameDecoderEventCode::FrameTooShort, frameLength);
    }
}

std::uint8_t CDecodedFrame::GetId(std::uint16_t frameLength, const std::uint8_t* frame)
{
    CheckFrame(frameLength, frame);
    return static_cast<std::uint8_t>(frame[AdrByteOffset] >> IdShift);
}

bool CDecodedFrame::IsBasic(std::uint16_t frameLength, const std::uint8_t* frame)
{
    return Id::IsBasic(GetId(frameLength, frame));
}

bool CDecodedFrame::IsSlim(std::uint16_t frameLength, const std::uint8_t* frame)
{
    return Id::IsSlim(GetId(frameLength, frame));
}

bool CDecodedFrame::IsSnmt(std::uint16_t frameLength, const std::uint8_t* frame)
{
    return Id::IsSnmt(GetId(frameLength, frame));
}

bool CDecodedFrame::IsSsdo(std::uint16_t frameLength, const std::uint8_t* frame)
{
    return Id::IsSsdo(GetId(frameLength, frame));
}

bool CDecodedFrame::IsSpdo(std::uint16_t frameLength, const std::uint8_t* frame)
{
    return Id::IsSpdo(GetId(frameLength, frame));
}

std::uint8_t CDecodedFrame::GetSnmtExtendedService(std::uint16_t frameLength, const std::uint8_t* frame)
{
    CheckFrame(frameLength, frame);
    return frame[ms_SubFrame1DbOffset];
}

std::uint8_t CDecodedFrame::GetSsdoSodAccessCommand(std::uint16_t frameLength, const std::uint8_t* frame)
{
    CheckFrame(frameLength, frame);
    return frame[ms_SubFrame1DbOffset];
}

void CDecodedFrame::Initialize(std::uint16_t frameLength, const std::uint8_t* frame, const std::uint8_t* scmUdid)
{
    SCM_GUARD(frame != nullptr);
    SCM_GUARD(scmUdid != nullptr);
    m_initialized = false;
    m_frame = frame;

    // The length check comes before LE is read, so that nothing is read beyond a short buffer.
    const bool isBasic = IsBasic(frameLength, frame);
    const std::uint32_t le = frame[ms_SubFrame1LeOffset];
    const std::uint32_t crcLength = (le < ms_OneByteCrcLeMax) ? 1u : 2u;
    const std::uint32_t payloadCopies = isBasic ? 2u * le : le;
    // A message is exactly one frame. Bytes behind the verified frame would pass unchecked: the checks restore every
    // byte of an SCM message, so a second frame appended to a valid one would reach the network.
    if (frameLength != payloadCopies + 2u * crcLength + HeaderLengths)
    {
        throw Util::CException(CFrameDecoderEventCode::InvalidLength);
    }

    m_adr = GetTenBitAddress(frame[0], frame[AdrByteOffset]);
    m_id = static_cast<std::uint8_t>(frame[AdrByteOffset] >> IdShift);
    m_le = static_cast<std::uint8_t>(le);

    const std::uint32_t crc1Offset = ms_SubFrame1DbOffset + le;
    if (ReadCrc(crcLength, frame + crc1Offset) != ComputeCrc(isBasic, crcLength, crc1Offset, frame))
    {
        throw Util::CException(CFrameDecoderEventCode::InvalidCrc);
    }

    // Sub-frame 2 is judged on a decoded copy; the caller's buffer stays as received.
    const std::uint32_t crc2Offset = isBasic ? (ms_BasicSubFrame2DbOffset + le) : ms_SlimSubFrame2CrcOffset;
    std::uint8_t subFrame2[SubFrame2LengthMax];
    std::memcpy(subFrame2, frame + crc1Offset + crcLength, crc2Offset + crcLength);
    for (std::uint32_t i = 0u; i < ScmUdidLength; ++i)
    {
        subFrame2[i] = static_cast<std::uint8_t>(subFrame2[i] ^ scmUdid[i]);
    }

    m_ct = static_cast<std::uint16_t>(frame[ms_SubFrame1CtLowOffset] | (subFrame2[ms_SubFrame2CtHighOffset] << 8));

    if (ReadCrc(crcLength, subFrame2 + crc2Offset) != ComputeCrc(isBasic, crcLength, crc2Offset, subFrame2))
    {
        throw Util::CException(CFrameDecoderEventCode::InvalidCrc);
    }

    m_sdn = static_cast<std::uint16_t>(m_adr ^ GetTenBitAddress(subFrame2[0], subFrame2[AdrByteOffset]));
    m_tadr = GetTenBitAddress(subFrame2[SubFrame2TadrOffset], subFrame2[SubFrame2TrOffset]);
    m_tr = static_cast<std::uint8_t>(subFrame2[SubFrame2TrOffset] >> IdShift);

    if (isBasic && (le > 0u) &&
        (std::memcmp(frame + ms_SubFrame1DbOffset, subFrame2 + ms_BasicSubFrame2DbOffset, le) != 0))
    {
        throw Util::CException(CFrameDecoderEventCode::InconsistentPayload);
    }

    m_initialized = true;
}

void CDecodedFrame::CheckInitialized() const
{
    SCM_GUARD(m_initialized);
}

std::uint16_t CDecodedFrame::GetAdr() const
{
    CheckInitialized();
    return m_adr;
}

std::uint8_t CDecodedFrame::GetId() const
{
    CheckInitialized();
    return m_id;
}

std::uint8_t CDecodedFrame::GetLe() const
{
    CheckInitialized();
    return m_le;
}

std::uint16_t CDecodedFrame::GetCt() const
{
    CheckInitialized();
    return m_ct;
}

std::uint16_t CDecodedFrame::GetSdn() const
{
    CheckInitialized();
    return m_sdn;
}

std::uint16_t CDecodedFrame::GetTadr() const
{
    CheckInitialized();
    return m_tadr;
}

std::uint8_t CDecodedFrame::GetTr() const
{
    CheckInitialized();
    return m_tr;
}

const std::uint8_t* CDecodedFrame::GetDbs() const
{
    CheckInitialized();
    SCM_GUARD(m_frame != nullptr);
    return m_frame + ms_SubFrame1DbOffset;
}
} // namespace Epls
