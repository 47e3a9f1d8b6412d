// Classification of safety frames by identifier and first payload byte, through tables built at compile time.
#include "Epls/CFrameDecoder.h"

#include <initializer_list>

#include "Epls/CFrameDecoderEventCode.h"
#include "Epls/Id.h"
#include "Epls/SnmtExtendedService.h"
#include "Epls/SsdoSodAccessCommand.h"
#include "Util/CException.h"
#include "Util/CUdid.h"

namespace
{
using Epls::Id;
using Epls::SnmtExtendedService;
using Epls::SsdoSodAccessCommand;

// One per decoded-frame object of the decoder.
enum class Slot : std::uint8_t
{
    Unknown,
    SnmtAssignSadr,
    SnmtAssignUdidScm,
    SnmtResponseUdid,
    SnmtSadrAssigned,
    SnmtSnSetToOp,
    SnmtSnFail,
    SnmtSnAck,
    SsdoUploadInitiateExpeditedResponse,
    SsdoUploadInitiateSegmentedResponse,
    SsdoUploadMiddleSegmentResponse,
    SsdoUploadEndSegmentResponse,
    SsdoDownloadInitiateExpeditedRequest,
    SsdoDownloadInitiateSegmentedRequest,
    SsdoDownloadMiddleSegmentRequest,
    SsdoDownloadEndSegmentRequest,
    Count,
};

// The identifiers whose class depends on the first payload byte, each with its row of the payload-byte table.
enum class Row : std::uint8_t
{
    SnmtExtendedServiceRequest,
    SnmtExtendedServiceResponse,
    SsdoRequest,
    SsdoResponse,
    Count,
    None = Count,
};

enum class Group : std::uint8_t
{
    Invalid,
    Spdo,
    Snmt,
    Ssdo,
};

constexpr std::uint32_t IdByteOffset = 1u;
constexpr std::uint32_t IdShift = 2u;
constexpr std::uint32_t IdCount = 64u;
constexpr std::uint32_t ByteValueCount = 256u;
// An extended SNMT or SSDO frame is classified by its first payload byte, so it needs one.
constexpr std::uint8_t ClassifyingByteLeMin = 1u;

struct CIdentifierRule
{
    Group m_group;
    Row m_row;
    // The class when m_row is None; otherwise the payload-byte table decides.
    Slot m_slot;
    // The payload an unknown frame of this identifier needs.
    std::uint8_t m_unknownLeMin;
};

struct CIdentifierRules
{
    CIdentifierRule m_rule[IdCount];
};

struct CPayloadByteSlots
{
    Slot m_slot[static_cast<std::uint32_t>(Row::Count)][ByteValueCount];
};

struct CSlotLeMins
{
    std::uint8_t m_leMin[static_cast<std::uint32_t>(Slot::Count)];
};

constexpr CIdentifierRules MakeIdentifierRules()
{
    CIdentifierRules rules{};
    for (std::uint32_t id = 0u; id < IdCount; ++id)
    {
        const auto code = static_cast<std::uint8_t>(id);
        CIdentifierRule& rule = rules.m_rule[id];
        rule = {Group::Invalid, Row::None, Slot::Unknown, 0u};
        if (Id::IsSpdo(code))
        {
            rule.m_group = Group::Spdo;
        }
        else if (Id::IsSnmt(code))
        {
            rule.m_group = Group::Snmt;
        }
        else if (Id::IsSsdo(code))
        {
            // Every SSDO frame, even of an identifier without classes, needs its SOD access command.
            rule.m_group = Group::Ssdo;
            rule.m_unknownLeMin = ClassifyingByteLeMin;
        }
    }
    rules.m_rule[Id::SnmtResponseUdid].m_slot = Slot::SnmtResponseUdid;
    rules.m_rule[Id::SnmtAssignSadr].m_slot = Slot::SnmtAssignSadr;
    rules.m_rule[Id::SnmtSadrAssigned].m_slot = Slot::SnmtSadrAssigned;
    struct CRowOfId
    {
        std::uint8_t m_id;
        Row m_row;
    };
    const CRowOfId rows[] = {
        {Id::SnmtExtendedServiceRequest, Row::SnmtExtendedServiceRequest},
        {Id::SnmtExtendedServiceResponse, Row::SnmtExtendedServiceResponse},
        {Id::SsdoServiceRequest, Row::SsdoRequest},
        {Id::SsdoServiceRequestSlim, Row::SsdoRequest},
        {Id::SsdoServiceResponse, Row::SsdoResponse},
        {Id::SsdoServiceResponseSlim, Row::SsdoResponse},
    };
    for (const CRowOfId& row : rows)
    {
        rules.m_rule[row.m_id].m_row = row.m_row;
        rules.m_rule[row.m_id].m_unknownLeMin = ClassifyingByteLeMin;
    }
    return rules;
}

constexpr CPayloadByteSlots MakePayloadByteSlots()
{
    CPayloadByteSlots slots{};
    auto set = [&slots](Row row, std::uint8_t byte, Slot slot)
    { slots.m_slot[static_cast<std::uint32_t>(row)][byte] = slot; };
    set(Row::SnmtExtendedServiceRequest, SnmtExtendedService::AssignUdidScm, Slot::SnmtAssignUdidScm);
    set(Row::SnmtExtendedServiceRequest, SnmtExtendedService::SnSetToOp, Slot::SnmtSnSetToOp);
    set(Row::SnmtExtendedServiceRequest, SnmtExtendedService::SnAck, Slot::SnmtSnAck);
    set(Row::SnmtExtendedServiceResponse, SnmtExtendedService::SnFail, Slot::SnmtSnFail);

    set(Row::SsdoResponse, SsdoSodAccessCommand::UploadInitiateExpedited, Slot::SsdoUploadInitiateExpeditedResponse);
    set(Row::SsdoRequest, SsdoSodAccessCommand::DownloadInitiateExpedited, Slot::SsdoDownloadInitiateExpeditedRequest);
    for (const std::uint8_t command :
         {SsdoSodAccessCommand::UploadInitiateSegmented, SsdoSodAccessCommand::UploadInitiateSegmentedWithPreload})
    {
        set(Row::SsdoResponse, command, Slot::SsdoUploadInitiateSegmentedResponse);
    }
    for (const std::uint8_t command :
         {SsdoSodAccessCommand::DownloadInitiateSegmented, SsdoSodAccessCommand::DownloadInitiateSegmentedWithPreload})
    {
        set(Row::SsdoRequest, command, Slot::SsdoDownloadInitiateSegmentedRequest);
    }
    for (const std::uint8_t command :
         {SsdoSodAccessCommand::UploadMiddleSegmentEven, SsdoSodAccessCommand::UploadMiddleSegmentOdd,
          SsdoSodAccessCommand::UploadMiddleSegmentWithPreloadEven,
          SsdoSodAccessCommand::UploadMiddleSegmentWithPreloadOdd})
    {
        set(Row::SsdoResponse, command, Slot::SsdoUploadMiddleSegmentResponse);
    }
    for (const std::uint8_t command :
         {SsdoSodAccessCommand::UploadEndSegmentEven, SsdoSodAccessCommand::UploadEndSegmentOdd,
          SsdoSodAccessCommand::UploadEndSegmentWithPreloadEven, SsdoSodAccessCommand::UploadEndSegmentWithPreloadOdd})
    {
        set(Row::SsdoResponse, command, Slot::SsdoUploadEndSegmentResponse);
    }
    for (const std::uint8_t command :
         {SsdoSodAccessCommand::DownloadMiddleSegmentEven, SsdoSodAccessCommand::DownloadMiddleSegmentOdd,
          SsdoSodAccessCommand::DownloadMiddleSegmentWithPreloadEven,
          SsdoSodAccessCommand::DownloadMiddleSegmentWithPreloadOdd})
    {
        set(Row::SsdoRequest, command, Slot::SsdoDownloadMiddleSegmentRequest);
    }
    for (const std::uint8_t command :
         {SsdoSodAccessCommand::DownloadEndSegmentEven, SsdoSodAccessCommand::DownloadEndSegmentOdd,
          SsdoSodAccessCommand::DownloadEndSegmentWithPreloadEven,
          SsdoSodAccessCommand::DownloadEndSegmentWithPreloadOdd})
    {
        set(Row::SsdoRequest, command, Slot::SsdoDownloadEndSegmentRequest);
    }
    return slots;
}

constexpr CSlotLeMins MakeSlotLeMins()
{
    CSlotLeMins leMins{};
    auto set = [&leMins](Slot slot, std::uint8_t leMin) { leMins.m_leMin[static_cast<std::uint32_t>(slot)] = leMin; };
    set(Slot::SnmtAssignSadr, Epls::CDecodedSnmtAssignSadr::ms_LeMin);
    set(Slot::SnmtAssignUdidScm, Epls::CDecodedSnmtAssignUdidScm::ms_LeMin);
    set(Slot::SnmtResponseUdid, Epls::CDecodedSnmtResponseUdid::ms_LeMin);
    set(Slot::SnmtSadrAssigned, Epls::CDecodedSnmtSadrAssigned::ms_LeMin);
    set(Slot::SnmtSnSetToOp, Epls::CDecodedSnmtSnSetToOp::ms_LeMin);
    set(Slot::SnmtSnFail, Epls::CDecodedSnmtSnFail::ms_LeMin);
    set(Slot::SnmtSnAck, Epls::CDecodedSnmtSnAck::ms_LeMin);
    set(Slot::SsdoUploadInitiateExpeditedResponse, Epls::CDecodedSsdoUploadInitiateExpeditedResponse::ms_LeMin);
    set(Slot::SsdoUploadInitiateSegmentedResponse, Epls::CDecodedSsdoUploadInitiateSegmentedResponse::ms_LeMin);
    set(Slot::SsdoUploadMiddleSegmentResponse, Epls::CDecodedSsdoUploadMiddleSegmentResponse::ms_LeMin);
    set(Slot::SsdoUploadEndSegmentResponse, Epls::CDecodedSsdoUploadEndSegmentResponse::ms_LeMin);
    set(Slot::SsdoDownloadInitiateExpeditedRequest, Epls::CDecodedSsdoDownloadInitiateExpeditedRequest::ms_LeMin);
    set(Slot::SsdoDownloadInitiateSegmentedRequest, Epls::CDecodedSsdoDownloadInitiateSegmentedRequest::ms_LeMin);
    set(Slot::SsdoDownloadMiddleSegmentRequest, Epls::CDecodedSsdoDownloadMiddleSegmentRequest::ms_LeMin);
    set(Slot::SsdoDownloadEndSegmentRequest, Epls::CDecodedSsdoDownloadEndSegmentRequest::ms_LeMin);
    return leMins;
}

constexpr CIdentifierRules IdentifierRules = MakeIdentifierRules();
constexpr CPayloadByteSlots PayloadByteSlots = MakePayloadByteSlots();
constexpr CSlotLeMins SlotLeMins = MakeSlotLeMins();
} // namespace

namespace Epls
{
const CDecodedFrame& CFrameDecoder::GetDecodedFrame(std::uint16_t frameLength, const std::uint8_t* frame,
                                                    const std::uint8_t* scmUdid)
{
    // The refusals of a missing or short frame are raised where every reader of a raw frame raises them.
    if ((frame == nullptr) || (frameLength < CDecodedFrame::ms_FrameLengthMin))
    {
        CDecodedFrame::CheckFrame(frameLength, frame);
    }
    // At least 11 bytes: the identifier, LE and the first payload byte can be read whatever LE says.
    const auto id = static_cast<std::uint8_t>(frame[IdByteOffset] >> IdShift);
    const CIdentifierRule& rule = IdentifierRules.m_rule[id];
    if (rule.m_group == Group::Spdo)
    {
        throw Util::CException(CFrameDecoderEventCode::SpdoNotAllowed);
    }
    if (rule.m_group == Group::Invalid)
    {
        throw Util::CException(CFrameDecoderEventCode::InvalidFrameType, id);
    }

    const Slot slot = (rule.m_row == Row::None) ? rule.m_slot
                                                : PayloadByteSlots.m_slot[static_cast<std::uint32_t>(rule.m_row)]
                                                                         [frame[CDecodedFrame::ms_SubFrame1DbOffset]];
    const std::uint8_t leMin =
        (slot == Slot::Unknown) ? rule.m_unknownLeMin : SlotLeMins.m_leMin[static_cast<std::uint32_t>(slot)];
    // Refusing a short payload before anything else keeps every accessor of the chosen class inside the payload.
    if (frame[CDecodedFrame::ms_SubFrame1LeOffset] < leMin)
    {
        throw Util::CException(CFrameDecoderEventCode::InvalidLength);
    }

    CDecodedFrame& decoded = GetFrameObject(static_cast<std::uint8_t>(slot));
    // SNMT frames carry no SCM UDID in their sub-frame 2.
    decoded.VerifyAndDecode(frameLength, frame, (rule.m_group == Group::Snmt) ? Util::CUdid::ms_Zero : scmUdid);
    return decoded;
}

CDecodedFrame& CFrameDecoder::GetFrameObject(std::uint8_t slot)
{
    switch (static_cast<Slot>(slot))
    {
    case Slot::SnmtAssignSadr:
        return m_snmtAssignSadr;
    case Slot::SnmtAssignUdidScm:
        return m_snmtAssignUdidScm;
    case Slot::SnmtResponseUdid:
        return m_snmtResponseUdid;
    case Slot::SnmtSadrAssigned:
        return m_snmtSadrAssigned;
    case Slot::SnmtSnSetToOp:
        return m_snmtSnSetToOp;
    case Slot::SnmtSnFail:
        return m_snmtSnFail;
    case Slot::SnmtSnAck:
        return m_snmtSnAck;
    case Slot::SsdoUploadInitiateExpeditedResponse:
        return m_ssdoUploadInitiateExpeditedResponse;
    case Slot::SsdoUploadInitiateSegmentedResponse:
        return m_ssdoUploadInitiateSegmentedResponse;
    case Slot::SsdoUploadMiddleSegmentResponse:
        return m_ssdoUploadMiddleSegmentResponse;
    case Slot::SsdoUploadEndSegmentResponse:
        return m_ssdoUploadEndSegmentResponse;
    case Slot::SsdoDownloadInitiateExpeditedRequest:
        return m_ssdoDownloadInitiateExpeditedRequest;
    case Slot::SsdoDownloadInitiateSegmentedRequest:
        return m_ssdoDownloadInitiateSegmentedRequest;
    case Slot::SsdoDownloadMiddleSegmentRequest:
        return m_ssdoDownloadMiddleSegmentRequest;
    case Slot::SsdoDownloadEndSegmentRequest:
        return m_ssdoDownloadEndSegmentRequest;
    case Slot::Unknown:
    case Slot::Count:
        break;
    }
    return m_unknownFrame;
}
} // namespace Epls
