// SSDO download, end segment request.
#include "Epls/CDecodedSsdoDownloadEndSegmentRequest.h"

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/Id.h"
#include "Epls/SsdoSodAccessCommand.h"

namespace Epls
{
bool CDecodedSsdoDownloadEndSegmentRequest::IsDecodedSsdoDownloadEndSegmentRequest(std::uint16_t frameLength,
                                                                                   const std::uint8_t* frame)
{
    const std::uint8_t id = GetId(frameLength, frame);
    if ((id != Id::SsdoServiceRequest) && (id != Id::SsdoServiceRequestSlim))
    {
        return false;
    }
    switch (GetSsdoSodAccessCommand(frameLength, frame))
    {
    case SsdoSodAccessCommand::DownloadEndSegmentEven:
    case SsdoSodAccessCommand::DownloadEndSegmentOdd:
    case SsdoSodAccessCommand::DownloadEndSegmentWithPreloadEven:
    case SsdoSodAccessCommand::DownloadEndSegmentWithPreloadOdd:
        return true;
    default:
        return false;
    }
}

void CDecodedSsdoDownloadEndSegmentRequest::Accept(CDecodedFrameVisitor& visitor) const
{
    visitor.VisitSsdoDownloadEndSegmentRequest(*this);
}

std::uint16_t CDecodedSsdoDownloadEndSegmentRequest::GetSafetyAddress() const
{
    return GetAdr();
}

const std::uint8_t* CDecodedSsdoDownloadEndSegmentRequest::GetParameterData() const
{
    return GetDbs() + ms_PayloadDbOffset;
}

std::uint8_t CDecodedSsdoDownloadEndSegmentRequest::GetParameterDataLength() const
{
    return static_cast<std::uint8_t>(GetLe() - ms_PayloadDbOffset);
}
} // namespace Epls
