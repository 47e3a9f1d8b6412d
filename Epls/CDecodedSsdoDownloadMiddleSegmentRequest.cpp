// SSDO download, middle segment request.
#include "Epls/CDecodedSsdoDownloadMiddleSegmentRequest.h"

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/Id.h"
#include "Epls/SsdoSodAccessCommand.h"
#include "Util/PlantedFault.h"

namespace Epls
{
bool CDecodedSsdoDownloadMiddleSegmentRequest::IsDecodedSsdoDownloadMiddleSegmentRequest(std::uint16_t frameLength,
                                                                                         const std::uint8_t* frame)
{
    const std::uint8_t id = GetId(frameLength, frame);
    if ((id != Id::SsdoServiceRequest) && (id != Id::SsdoServiceRequestSlim))
    {
        return false;
    }
    switch (GetSsdoSodAccessCommand(frameLength, frame))
    {
    case SsdoSodAccessCommand::DownloadMiddleSegmentEven:
    case SsdoSodAccessCommand::DownloadMiddleSegmentOdd:
    case SsdoSodAccessCommand::DownloadMiddleSegmentWithPreloadEven:
    case SsdoSodAccessCommand::DownloadMiddleSegmentWithPreloadOdd:
        return true;
    default:
        return false;
    }
}

void CDecodedSsdoDownloadMiddleSegmentRequest::Accept(CDecodedFrameVisitor& visitor) const
{
    visitor.VisitSsdoDownloadMiddleSegmentRequest(*this);
}

std::uint16_t CDecodedSsdoDownloadMiddleSegmentRequest::GetSafetyAddress() const
{
    return GetAdr();
}

const std::uint8_t* CDecodedSsdoDownloadMiddleSegmentRequest::GetParameterData() const
{
    return GetDbs() + ms_PayloadDbOffset;
}

std::uint8_t CDecodedSsdoDownloadMiddleSegmentRequest::GetParameterDataLength() const
{
    return static_cast<std::uint8_t>(GetLe() - ms_PayloadDbOffset + SCM_PLANTED_FAULT_ON(FrameSegmentLength));
}
} // namespace Epls
