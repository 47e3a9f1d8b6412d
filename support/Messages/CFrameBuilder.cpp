// Assembly of openSAFETY frames from their fields.
#include "support/Messages/CFrameBuilder.h"

#include <stdexcept>

#include "Scm/QdriffCrc.h"

namespace
{
constexpr std::uint8_t IdMask = 0x3Fu;
constexpr std::uint16_t AddressMask = 0x3FFu;
constexpr std::size_t OneByteCrcLeMax = 9u;
constexpr std::size_t ScmUdidLength = 6u;

constexpr std::uint8_t SnmtRequestUdidId = 0x28u;
constexpr std::uint8_t SnmtResponseUdidId = 0x29u;
constexpr std::uint8_t SnmtAssignSadrId = 0x2Au;
constexpr std::uint8_t SnmtSadrAssignedId = 0x2Bu;
constexpr std::uint8_t SnmtExtendedServiceRequestId = 0x2Cu;
constexpr std::uint8_t SnmtExtendedServiceResponseId = 0x2Du;
constexpr std::uint8_t SsdoRequestId = 0x38u;
constexpr std::uint8_t SsdoResponseId = 0x39u;
constexpr std::uint8_t SsdoSlimFlag = 0x02u;
constexpr std::uint8_t SsdoGroupMask = 0x38u;

constexpr std::uint8_t SnSetToOpService = 2u;
constexpr std::uint8_t SnFailService = 7u;
constexpr std::uint8_t SnAckService = 12u;
constexpr std::uint8_t AssignUdidScmService = 14u;

constexpr std::uint8_t DownloadFlag = 0x01u;
constexpr std::uint8_t PreloadFlag = 0x02u;
constexpr std::uint8_t SegmentedFlag = 0x08u;
constexpr std::uint8_t ToggleFlag = 0x10u;
constexpr std::uint8_t InitiateFlag = 0x20u;
constexpr std::uint8_t EndSegmentFlag = 0x40u;

bool IsSlim(std::uint8_t id)
{
    return (id == (SsdoRequestId | SsdoSlimFlag)) || (id == (SsdoResponseId | SsdoSlimFlag));
}

void AppendCrc(Support::Bytes& subFrame, bool isSlim, std::size_t crcLength)
{
    const auto length = static_cast<std::uint32_t>(subFrame.size());
    if (crcLength == 1u)
    {
        subFrame.push_back(GetCrc8_0x12F(length, subFrame.data()));
        return;
    }
    const std::uint16_t crc =
        isSlim ? GetCrc16_0x15935(length, subFrame.data()) : GetCrc16_0x1755B(length, subFrame.data());
    Support::AppendLittleEndian(subFrame, crc, 2u);
}

Support::Bytes Concatenate(std::initializer_list<Support::Bytes> parts)
{
    Support::Bytes result;
    for (const Support::Bytes& part : parts)
    {
        result.insert(result.end(), part.begin(), part.end());
    }
    return result;
}

Support::Bytes InitiatePayload(std::uint8_t command, std::uint16_t index, std::uint8_t subIndex)
{
    Support::Bytes payload{command};
    Support::AppendLittleEndian(payload, index, 2u);
    payload.push_back(subIndex);
    return payload;
}

Support::Bytes TotalLength(std::uint32_t totalLength)
{
    Support::Bytes bytes;
    Support::AppendLittleEndian(bytes, totalLength, 4u);
    return bytes;
}

std::uint8_t SegmentCommand(bool isDownload, bool isEnd, bool isOdd, bool preload)
{
    std::uint8_t command = isEnd ? static_cast<std::uint8_t>(SegmentedFlag | EndSegmentFlag) : SegmentedFlag;
    command = static_cast<std::uint8_t>(command | (isDownload ? DownloadFlag : 0u) | (isOdd ? ToggleFlag : 0u) |
                                        (preload ? PreloadFlag : 0u));
    return command;
}

std::uint8_t SsdoId(std::uint8_t id, bool slim)
{
    return slim ? static_cast<std::uint8_t>(id | SsdoSlimFlag) : id;
}
} // namespace

namespace Support
{
CFrameBuilder::CFrameBuilder()
    : m_id(SnmtRequestUdidId), m_adr(0u), m_sdn(ms_Sdn), m_ct(0u), m_tadr(0u), m_tr(0u), m_payload(),
      m_payloadCopy(), m_scmUdid{}
{
}

CFrameBuilder& CFrameBuilder::Id(std::uint8_t id)
{
    m_id = static_cast<std::uint8_t>(id & IdMask);
    return *this;
}

CFrameBuilder& CFrameBuilder::Adr(std::uint16_t adr)
{
    m_adr = static_cast<std::uint16_t>(adr & AddressMask);
    return *this;
}

CFrameBuilder& CFrameBuilder::Sdn(std::uint16_t sdn)
{
    m_sdn = static_cast<std::uint16_t>(sdn & AddressMask);
    return *this;
}

CFrameBuilder& CFrameBuilder::Ct(std::uint16_t ct)
{
    m_ct = ct;
    return *this;
}

CFrameBuilder& CFrameBuilder::Tadr(std::uint16_t tadr)
{
    m_tadr = static_cast<std::uint16_t>(tadr & AddressMask);
    return *this;
}

CFrameBuilder& CFrameBuilder::Tr(std::uint8_t tr)
{
    m_tr = static_cast<std::uint8_t>(tr & IdMask);
    return *this;
}

CFrameBuilder& CFrameBuilder::Payload(const Bytes& payload)
{
    m_payload = payload;
    return *this;
}

CFrameBuilder& CFrameBuilder::PayloadCopy(const Bytes& payloadCopy)
{
    m_payloadCopy = payloadCopy;
    return *this;
}

CFrameBuilder& CFrameBuilder::ScmUdid(const Udid& scmUdid)
{
    m_scmUdid = scmUdid;
    return *this;
}

Bytes CFrameBuilder::Build() const
{
    if (m_payload.size() > 255u)
    {
        throw std::invalid_argument("an openSAFETY payload has at most 255 bytes");
    }
    if (m_payloadCopy && (m_payloadCopy->size() != m_payload.size()))
    {
        throw std::invalid_argument("the payload copy must have the payload's size");
    }
    const bool isSlim = IsSlim(m_id);
    const std::size_t crcLength = (m_payload.size() < OneByteCrcLeMax) ? 1u : 2u;
    const auto idBits = static_cast<std::uint8_t>(m_id << 2);

    // Reserving the whole frame first also keeps gcc 12's array-bounds analysis from misreading the inserts.
    Bytes frame;
    frame.reserve((2u * m_payload.size()) + 13u);
    frame.push_back(static_cast<std::uint8_t>(m_adr));
    frame.push_back(static_cast<std::uint8_t>((m_adr >> 8) | idBits));
    frame.push_back(static_cast<std::uint8_t>(m_payload.size()));
    frame.push_back(static_cast<std::uint8_t>(m_ct));
    frame.insert(frame.end(), m_payload.begin(), m_payload.end());
    AppendCrc(frame, isSlim, crcLength);

    const auto adrSdn = static_cast<std::uint16_t>(m_adr ^ m_sdn);
    Bytes subFrame2;
    subFrame2.reserve(m_payload.size() + 7u);
    subFrame2.push_back(static_cast<std::uint8_t>(adrSdn));
    subFrame2.push_back(static_cast<std::uint8_t>((adrSdn >> 8) | idBits));
    subFrame2.push_back(static_cast<std::uint8_t>(m_ct >> 8));
    subFrame2.push_back(static_cast<std::uint8_t>(m_tadr));
    subFrame2.push_back(static_cast<std::uint8_t>((m_tadr >> 8) | (m_tr << 2)));
    if (!isSlim)
    {
        const Bytes& copy = m_payloadCopy ? *m_payloadCopy : m_payload;
        subFrame2.insert(subFrame2.end(), copy.begin(), copy.end());
    }
    AppendCrc(subFrame2, isSlim, crcLength);
    // The stack keys sub-frame 2 of SSDO frames to the SCM after computing CRC 2, so only a receiver that knows
    // the SCM's UDID can verify it.
    if ((m_id & SsdoGroupMask) == SsdoGroupMask)
    {
        for (std::size_t i = 0u; i < ScmUdidLength; ++i)
        {
            subFrame2[i] = static_cast<std::uint8_t>(subFrame2[i] ^ m_scmUdid[i]);
        }
    }
    frame.insert(frame.end(), subFrame2.begin(), subFrame2.end());
    return frame;
}

CFrameBuilder CFrameBuilder::FromScm(std::uint8_t id, std::uint16_t sadr, const Bytes& payload)
{
    CFrameBuilder builder;
    builder.Id(id).Adr(sadr).Tadr(ms_ScmAddress).Payload(payload);
    return builder;
}

CFrameBuilder CFrameBuilder::FromModule(std::uint8_t id, std::uint16_t sadr, const Bytes& payload)
{
    CFrameBuilder builder;
    builder.Id(id).Adr(ms_ScmAddress).Tadr(sadr).Payload(payload);
    return builder;
}

CFrameBuilder CFrameBuilder::SnmtRequestUdid(std::uint16_t sadr)
{
    return FromScm(SnmtRequestUdidId, sadr, {});
}

CFrameBuilder CFrameBuilder::SnmtResponseUdid(std::uint16_t sadr, const Udid& udid)
{
    return FromModule(SnmtResponseUdidId, sadr, Bytes(udid.begin(), udid.end()));
}

CFrameBuilder CFrameBuilder::SnmtAssignSadr(std::uint16_t sadr, const Udid& udid)
{
    return FromScm(SnmtAssignSadrId, sadr, Bytes(udid.begin(), udid.end()));
}

CFrameBuilder CFrameBuilder::SnmtSadrAssigned(std::uint16_t sadr, const Udid& udid)
{
    return FromModule(SnmtSadrAssignedId, sadr, Bytes(udid.begin(), udid.end()));
}

CFrameBuilder CFrameBuilder::SnmtExtendedServiceRequest(std::uint16_t sadr, std::uint8_t service,
                                                        const Bytes& parameters)
{
    return FromScm(SnmtExtendedServiceRequestId, sadr, Concatenate({Bytes{service}, parameters}));
}

CFrameBuilder CFrameBuilder::SnmtExtendedServiceResponse(std::uint16_t sadr, std::uint8_t service,
                                                         const Bytes& parameters)
{
    return FromModule(SnmtExtendedServiceResponseId, sadr, Concatenate({Bytes{service}, parameters}));
}

CFrameBuilder CFrameBuilder::SnmtAssignUdidScm(std::uint16_t sadr, const Udid& scmUdid)
{
    return SnmtExtendedServiceRequest(sadr, AssignUdidScmService, Bytes(scmUdid.begin(), scmUdid.end()));
}

CFrameBuilder CFrameBuilder::SnmtSnSetToOp(std::uint16_t sadr, std::uint32_t parameterTimestamp)
{
    Bytes timestamp;
    Support::AppendLittleEndian(timestamp, parameterTimestamp, 4u);
    return SnmtExtendedServiceRequest(sadr, SnSetToOpService, timestamp);
}

CFrameBuilder CFrameBuilder::SnmtSnFail(std::uint16_t sadr, std::uint8_t errorGroup, std::uint8_t errorCode)
{
    return SnmtExtendedServiceResponse(sadr, SnFailService, {errorGroup, errorCode});
}

CFrameBuilder CFrameBuilder::SnmtSnAck(std::uint16_t sadr, std::uint8_t errorGroup, std::uint8_t errorCode)
{
    return SnmtExtendedServiceRequest(sadr, SnAckService, {errorGroup, errorCode});
}

CFrameBuilder CFrameBuilder::SsdoRequest(std::uint16_t sadr, std::uint8_t command, const Bytes& afterCommand, bool slim)
{
    return FromScm(SsdoId(SsdoRequestId, slim), sadr, Concatenate({Bytes{command}, afterCommand}));
}

CFrameBuilder CFrameBuilder::SsdoResponse(std::uint16_t sadr, std::uint8_t command, const Bytes& afterCommand,
                                          bool slim)
{
    return FromModule(SsdoId(SsdoResponseId, slim), sadr, Concatenate({Bytes{command}, afterCommand}));
}

CFrameBuilder CFrameBuilder::SsdoDownloadInitiateExpedited(std::uint16_t sadr, std::uint16_t index,
                                                           std::uint8_t subIndex, const Bytes& data, bool slim)
{
    const auto command = static_cast<std::uint8_t>(InitiateFlag | DownloadFlag);
    return FromScm(SsdoId(SsdoRequestId, slim), sadr, Concatenate({InitiatePayload(command, index, subIndex), data}));
}

CFrameBuilder CFrameBuilder::SsdoDownloadInitiateSegmented(std::uint16_t sadr, std::uint16_t index,
                                                           std::uint8_t subIndex, std::uint32_t totalLength,
                                                           const Bytes& data, bool preload, bool slim)
{
    const auto command =
        static_cast<std::uint8_t>(InitiateFlag | SegmentedFlag | DownloadFlag | (preload ? PreloadFlag : 0u));
    return FromScm(SsdoId(SsdoRequestId, slim), sadr,
                   Concatenate({InitiatePayload(command, index, subIndex), TotalLength(totalLength), data}));
}

CFrameBuilder CFrameBuilder::SsdoDownloadSegment(std::uint16_t sadr, bool isEnd, bool isOdd, const Bytes& data,
                                                 bool preload, bool slim)
{
    return SsdoRequest(sadr, SegmentCommand(true, isEnd, isOdd, preload), data, slim);
}

CFrameBuilder CFrameBuilder::SsdoUploadInitiateExpeditedResponse(std::uint16_t sadr, std::uint16_t index,
                                                                 std::uint8_t subIndex, const Bytes& data, bool slim)
{
    return FromModule(SsdoId(SsdoResponseId, slim), sadr,
                      Concatenate({InitiatePayload(InitiateFlag, index, subIndex), data}));
}

CFrameBuilder CFrameBuilder::SsdoUploadInitiateSegmentedResponse(std::uint16_t sadr, std::uint16_t index,
                                                                 std::uint8_t subIndex, std::uint32_t totalLength,
                                                                 const Bytes& data, bool preload, bool slim)
{
    const auto command = static_cast<std::uint8_t>(InitiateFlag | SegmentedFlag | (preload ? PreloadFlag : 0u));
    return FromModule(SsdoId(SsdoResponseId, slim), sadr,
                      Concatenate({InitiatePayload(command, index, subIndex), TotalLength(totalLength), data}));
}

CFrameBuilder CFrameBuilder::SsdoUploadSegmentResponse(std::uint16_t sadr, bool isEnd, bool isOdd, const Bytes& data,
                                                       bool preload, bool slim)
{
    return SsdoResponse(sadr, SegmentCommand(false, isEnd, isOdd, preload), data, slim);
}
} // namespace Support
