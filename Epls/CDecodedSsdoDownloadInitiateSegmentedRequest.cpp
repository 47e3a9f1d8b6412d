// SSDO download, initiate segmented request.
#include "Epls/CDecodedSsdoDownloadInitiateSegmentedRequest.h"

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/Id.h"
#include "Epls/SsdoSodAccessCommand.h"
#include "Util/ByteOrder.h"

namespace Epls
{
bool CDecodedSsdoDownloadInitiateSegmentedRequest::IsDecodedSsdoDownloadInitiateSegmentedRequest(
    std::uint16_t frameLength, const std::uint8_t* frame)
{
    const std::uint8_t id = GetId(frameLength, frame);
    if ((id != Id::SsdoServiceRequest) && (id != Id::SsdoServiceRequestSlim))
    {
        return false;
    }
    switch (GetSsdoSodAccessCommand(frameLength, frame))
    {
    case SsdoSodAccessCommand::DownloadInitiateSegmented:
    case SsdoSodAccessCommand::DownloadInitiateSegmentedWithPreload:
        return true;
    default:
        return false;
    }
}

void CDecodedSsdoDownloadInitiateSegmentedRequest::Accept(CDecodedFrameVisitor& visitor) const
{
    visitor.VisitSsdoDownloadInitiateSegmentedRequest(*this);
}

std::uint16_t CDecodedSsdoDownloadInitiateSegmentedRequest::GetSafetyAddress() const
{
    return GetAdr();
}

std::uint16_t CDecodedSsdoDownloadInitiateSegmentedRequest::GetIndex() const
{
    return Util::GetLittleEndianUInt16(GetDbs(), ms_IndexDbOffset);
}

std::uint8_t CDecodedSsdoDownloadInitiateSegmentedRequest::GetSubIndex() const
{
    return GetDbs()[ms_SubIndexDbOffset];
}

const std::uint8_t* CDecodedSsdoDownloadInitiateSegmentedRequest::GetParameterData() const
{
    return GetDbs() + ms_PayloadDbOffset;
}

std::uint8_t CDecodedSsdoDownloadInitiateSegmentedRequest::GetParameterDataLength() const
{
    return static_cast<std::uint8_t>(GetLe() - ms_PayloadDbOffset);
}
} // namespace Epls
