// Classification of safety frames by identifier and first payload byte.
#include "Epls/CFrameDecoder.h"

#include "Epls/CFrameDecoderEventCode.h"
#include "Epls/Id.h"
#include "Util/CException.h"
#include "Util/CUdid.h"

namespace
{
// An extended SNMT or SSDO frame is classified by its first payload byte, so it needs one.
constexpr std::uint8_t ClassifyingByteLeMin = 1u;
} // namespace

namespace Epls
{
const CDecodedFrame& CFrameDecoder::GetDecodedFrame(std::uint16_t frameLength, const std::uint8_t* frame,
                                                    const std::uint8_t* scmUdid)
{
    std::uint8_t leMin = 0u;
    CDecodedFrame* decoded = nullptr;
    const std::uint8_t* udid = scmUdid;
    if (CDecodedFrame::IsSnmt(frameLength, frame))
    {
        decoded = &SelectSnmtFrame(frameLength, frame, leMin);
        udid = Util::CUdid::ms_Zero;
    }
    else if (CDecodedFrame::IsSsdo(frameLength, frame))
    {
        decoded = &SelectSsdoFrame(frameLength, frame, leMin);
    }
    else if (CDecodedFrame::IsSpdo(frameLength, frame))
    {
        throw Util::CException(CFrameDecoderEventCode::SpdoNotAllowed);
    }
    else
    {
        throw Util::CException(CFrameDecoderEventCode::InvalidFrameType, CDecodedFrame::GetId(frameLength, frame));
    }

    // The frame is at least 11 bytes long here, so LE can be read. Refusing a short payload before anything else
    // keeps every accessor of the chosen class inside the payload.
    if (frame[CDecodedFrame::ms_SubFrame1LeOffset] < leMin)
    {
        throw Util::CException(CFrameDecoderEventCode::InvalidLength);
    }
    decoded->Initialize(frameLength, frame, udid);
    return *decoded;
}

CDecodedFrame& CFrameDecoder::SelectSnmtFrame(std::uint16_t frameLength, const std::uint8_t* frame, std::uint8_t& leMin)
{
    if (CDecodedSnmtResponseUdid::IsSnmtResponseUdid(frameLength, frame))
    {
        leMin = CDecodedSnmtResponseUdid::ms_LeMin;
        return m_snmtResponseUdid;
    }
    if (CDecodedSnmtAssignSadr::IsSnmtAssignSadr(frameLength, frame))
    {
        leMin = CDecodedSnmtAssignSadr::ms_LeMin;
        return m_snmtAssignSadr;
    }
    if (CDecodedSnmtSadrAssigned::IsSnmtSadrAssigned(frameLength, frame))
    {
        leMin = CDecodedSnmtSadrAssigned::ms_LeMin;
        return m_snmtSadrAssigned;
    }
    if (CDecodedSnmtAssignUdidScm::IsSnmtAssignUdidScm(frameLength, frame))
    {
        leMin = CDecodedSnmtAssignUdidScm::ms_LeMin;
        return m_snmtAssignUdidScm;
    }
    if (CDecodedSnmtSnSetToOp::IsSnmtSnSetToOp(frameLength, frame))
    {
        leMin = CDecodedSnmtSnSetToOp::ms_LeMin;
        return m_snmtSnSetToOp;
    }
    if (CDecodedSnmtSnFail::IsSnmtSnFail(frameLength, frame))
    {
        leMin = CDecodedSnmtSnFail::ms_LeMin;
        return m_snmtSnFail;
    }
    if (CDecodedSnmtSnAck::IsSnmtSnAck(frameLength, frame))
    {
        leMin = CDecodedSnmtSnAck::ms_LeMin;
        return m_snmtSnAck;
    }
    const std::uint8_t id = CDecodedFrame::GetId(frameLength, frame);
    const bool isExtendedService = (id == Id::SnmtExtendedServiceRequest) || (id == Id::SnmtExtendedServiceResponse);
    leMin = isExtendedService ? ClassifyingByteLeMin : 0u;
    return m_unknownFrame;
}

CDecodedFrame& CFrameDecoder::SelectSsdoFrame(std::uint16_t frameLength, const std::uint8_t* frame, std::uint8_t& leMin)
{
    if (CDecodedSsdoUploadInitiateExpeditedResponse::IsDecodedSsdoUploadInitiateExpeditedResponse(frameLength, frame))
    {
        leMin = CDecodedSsdoUploadInitiateExpeditedResponse::ms_LeMin;
        return m_ssdoUploadInitiateExpeditedResponse;
    }
    if (CDecodedSsdoDownloadInitiateExpeditedRequest::IsDecodedSsdoDownloadInitiateExpeditedRequest(frameLength, frame))
    {
        leMin = CDecodedSsdoDownloadInitiateExpeditedRequest::ms_LeMin;
        return m_ssdoDownloadInitiateExpeditedRequest;
    }
    if (CDecodedSsdoUploadInitiateSegmentedResponse::IsDecodedSsdoUploadInitiateSegmentedResponse(frameLength, frame))
    {
        leMin = CDecodedSsdoUploadInitiateSegmentedResponse::ms_LeMin;
        return m_ssdoUploadInitiateSegmentedResponse;
    }
    if (CDecodedSsdoUploadMiddleSegmentResponse::IsDecodedSsdoUploadMiddleSegmentResponse(frameLength, frame))
    {
        leMin = CDecodedSsdoUploadMiddleSegmentResponse::ms_LeMin;
        return m_ssdoUploadMiddleSegmentResponse;
    }
    if (CDecodedSsdoUploadEndSegmentResponse::IsDecodedSsdoUploadEndSegmentResponse(frameLength, frame))
    {
        leMin = CDecodedSsdoUploadEndSegmentResponse::ms_LeMin;
        return m_ssdoUploadEndSegmentResponse;
    }
    if (CDecodedSsdoDownloadInitiateSegmentedRequest::IsDecodedSsdoDownloadInitiateSegmentedRequest(frameLength, frame))
    {
        leMin = CDecodedSsdoDownloadInitiateSegmentedRequest::ms_LeMin;
        return m_ssdoDownloadInitiateSegmentedRequest;
    }
    if (CDecodedSsdoDownloadMiddleSegmentRequest::IsDecodedSsdoDownloadMiddleSegmentRequest(frameLength, frame))
    {
        leMin = CDecodedSsdoDownloadMiddleSegmentRequest::ms_LeMin;
        return m_ssdoDownloadMiddleSegmentRequest;
    }
    if (CDecodedSsdoDownloadEndSegmentRequest::IsDecodedSsdoDownloadEndSegmentRequest(frameLength, frame))
    {
        leMin = CDecodedSsdoDownloadEndSegmentRequest::ms_LeMin;
        return m_ssdoDownloadEndSegmentRequest;
    }
    leMin = ClassifyingByteLeMin;
    return m_unknownFrame;
}
} // namespace Epls
