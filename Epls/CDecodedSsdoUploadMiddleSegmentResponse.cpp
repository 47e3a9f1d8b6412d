// SSDO upload, middle segment response.
#include "Epls/CDecodedSsdoUploadMiddleSegmentResponse.h"

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/Id.h"
#include "Epls/SsdoSodAccessCommand.h"

namespace Epls
{
bool CDecodedSsdoUploadMiddleSegmentResponse::IsDecodedSsdoUploadMiddleSegmentResponse(std::uint16_t frameLength,
                                                                                       const std::uint8_t* frame)
{
    const std::uint8_t id = GetId(frameLength, frame);
    if ((id != Id::SsdoServiceResponse) && (id != Id::SsdoServiceResponseSlim))
    {
        return false;
    }
    switch (GetSsdoSodAccessCommand(frameLength, frame))
    {
    case SsdoSodAccessCommand::UploadMiddleSegmentEven:
    case SsdoSodAccessCommand::UploadMiddleSegmentOdd:
    case SsdoSodAccessCommand::UploadMiddleSegmentWithPreloadEven:
    case SsdoSodAccessCommand::UploadMiddleSegmentWithPreloadOdd:
        return true;
    default:
        return false;
    }
}

void CDecodedSsdoUploadMiddleSegmentResponse::Accept(CDecodedFrameVisitor& visitor) const
{
    visitor.VisitSsdoUploadMiddleSegmentResponse(*this);
}

std::uint16_t CDecodedSsdoUploadMiddleSegmentResponse::GetSafetyAddress() const
{
    return GetTadr();
}

const std::uint8_t* CDecodedSsdoUploadMiddleSegmentResponse::GetParameterData() const
{
    return GetDbs() + ms_PayloadDbOffset;
}

std::uint8_t CDecodedSsdoUploadMiddleSegmentResponse::GetParameterDataLength() const
{
    return static_cast<std::uint8_t>(GetLe() - ms_PayloadDbOffset);
}
} // namespace Epls
