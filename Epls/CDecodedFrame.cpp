// Verification and header decoding of safety frames.
#include "Epls/CDecodedFrame.h"

#include <cstring>

#include "Epls/CFrameDecoderEventCode.h"
#include "Epls/Id.h"
#include "Scm/QdriffCrc.h"
#include "Scm/QdriffCrcSteps.h"
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
// The decoded copy of the head of sub-frame 2: the UDID-keyed bytes and the plain ones up to one CRC step.
constexpr std::uint32_t HeadLengthMax = 8u;
// The frame length beyond the payload copies and the four CRC bytes: 4 header bytes of sub-frame 1 and 5 of
// sub-frame 2.
constexpr std::uint32_t HeaderLengths = 9u;

std::uint16_t GetTenBitAddress(std::uint32_t lowByte, std::uint32_t highByte)
{
    return static_cast<std::uint16_t>(lowByte | ((highByte & AddressHighMask) << 8u));
}

// Where the two CRCs of a frame lie. The head is the decoded copy of the first bytes of sub-frame 2.
struct CCrcLayout
{
    const std::uint8_t* m_frame;
    std::uint32_t m_crc1Offset;
    const std::uint8_t* m_subFrame2;
    std::uint32_t m_crc2Offset;
    const std::uint8_t* m_head;
    std::uint32_t m_headLength;
};

// Both CRCs of the frame with the table of the given width, inline: on short frames a call per CRC costs as much as
// the CRC. Each equals one pass of GetCrc8_0x12F, GetCrc16_0x1755B or GetCrc16_0x15935; CRC 2 runs over the
// decoded head and continues over the rest of sub-frame 2 in place. Both are computed before either is compared,
// so that the two run side by side.
template <std::uint32_t Width, typename Table> bool HaveValidCrcs(const Table& table, const CCrcLayout& layout)
{
    const std::uint32_t crc1Offset = layout.m_crc1Offset;
    const std::uint32_t crc2Offset = layout.m_crc2Offset;
    const std::uint32_t computed1 = Scm::ContinueCrc<Width>(table, 0u, crc1Offset, layout.m_frame);
    const std::uint32_t headCrcLength = (crc2Offset < layout.m_headLength) ? crc2Offset : layout.m_headLength;
    std::uint32_t computed2 = Scm::ContinueCrc<Width>(table, 0u, headCrcLength, layout.m_head);
    computed2 =
        Scm::ContinueCrc<Width>(table, computed2, crc2Offset - headCrcLength, layout.m_subFrame2 + headCrcLength);

    std::uint32_t crc1 = layout.m_frame[crc1Offset];
    // The CRC of a slim frame, and of a basic frame without payload, starts at byte 5, inside the decoded head.
    std::uint32_t crc2 =
        (crc2Offset < layout.m_headLength) ? layout.m_head[crc2Offset] : layout.m_subFrame2[crc2Offset];
    if constexpr (Width == 16u)
    {
        crc1 |= static_cast<std::uint32_t>(layout.m_frame[crc1Offset + 1u]) << 8u;
        crc2 |= static_cast<std::uint32_t>(layout.m_subFrame2[crc2Offset + 1u]) << 8u;
    }
    return (crc1 == computed1) && (crc2 == computed2);
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
    CheckFrame(frameLength, frame);
    VerifyAndDecode(frameLength, frame, scmUdid);
}

void CDecodedFrame::VerifyAndDecode(std::uint16_t frameLength, const std::uint8_t* frame, const std::uint8_t* scmUdid)
{
    SCM_GUARD(scmUdid != nullptr);
    m_initialized = false;
    m_frame = frame;

    const std::uint32_t addressHigh = frame[AdrByteOffset];
    const std::uint32_t id = addressHigh >> IdShift;
    const bool isBasic = Id::IsBasic(static_cast<std::uint8_t>(id));
    const std::uint32_t le = frame[ms_SubFrame1LeOffset];
    const std::uint32_t crcLength = (le < ms_OneByteCrcLeMax) ? 1u : 2u;
    const std::uint32_t payloadCopies = isBasic ? 2u * le : le;
    // A message is exactly one frame. Bytes behind the verified frame would pass unchecked: the checks restore every
    // byte of an SCM message, so a second frame appended to a valid one would reach the network.
    if (frameLength != payloadCopies + 2u * crcLength + HeaderLengths)
    {
        throw Util::CException(CFrameDecoderEventCode::InvalidLength);
    }

    m_adr = GetTenBitAddress(frame[0], addressHigh);
    m_id = static_cast<std::uint8_t>(id);
    m_le = static_cast<std::uint8_t>(le);

    // Sub-frame 2 is judged as if its first six bytes were XORed with the UDID; only its head is decoded into a copy,
    // the rest is read in place, and the caller's buffer stays as received. The head takes a whole CRC step of eight
    // bytes where the sub-frame has them; a sub-frame 2 is at least 6 bytes long (5 header bytes and a CRC).
    const std::uint32_t crc1Offset = ms_SubFrame1DbOffset + le;
    const std::uint8_t* const subFrame2 = frame + crc1Offset + crcLength;
    const std::uint32_t crc2Offset = isBasic ? (ms_BasicSubFrame2DbOffset + le) : ms_SlimSubFrame2CrcOffset;
    std::uint8_t head[HeadLengthMax];
    for (std::uint32_t i = 0u; i < ScmUdidLength; ++i)
    {
        head[i] = static_cast<std::uint8_t>(subFrame2[i] ^ scmUdid[i]);
    }
    std::uint32_t headLength = ScmUdidLength;
    if (crc2Offset >= HeadLengthMax)
    {
        head[ScmUdidLength] = subFrame2[ScmUdidLength];
        head[ScmUdidLength + 1u] = subFrame2[ScmUdidLength + 1u];
        headLength = HeadLengthMax;
    }

    m_ct = static_cast<std::uint16_t>(frame[ms_SubFrame1CtLowOffset] | (head[ms_SubFrame2CtHighOffset] << 8u));

    const CCrcLayout layout{frame, crc1Offset, subFrame2, crc2Offset, head, headLength};
    const bool crcsValid = (crcLength == 1u) ? HaveValidCrcs<8u>(Qdriff_gaucCrc8Tab, layout)
                           : isBasic         ? HaveValidCrcs<16u>(Qdriff_gausCrc16_755B_Tab, layout)
                                             : HaveValidCrcs<16u>(Qdriff_gausCrc16Tab, layout);
    if (!crcsValid)
    {
        throw Util::CException(CFrameDecoderEventCode::InvalidCrc);
    }

    m_sdn = static_cast<std::uint16_t>(m_adr ^ GetTenBitAddress(head[0], head[AdrByteOffset]));
    m_tadr = GetTenBitAddress(head[SubFrame2TadrOffset], head[SubFrame2TrOffset]);
    m_tr = static_cast<std::uint8_t>(head[SubFrame2TrOffset] >> IdShift);

    // The first byte of the payload copy is the last decoded one.
    if (isBasic && (le > 0u) &&
        ((frame[ms_SubFrame1DbOffset] != head[ms_BasicSubFrame2DbOffset]) ||
         (std::memcmp(frame + ms_SubFrame1DbOffset + 1u, subFrame2 + ScmUdidLength, le - 1u) != 0)))
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
