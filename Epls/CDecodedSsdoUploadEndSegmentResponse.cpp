// SSDO upload, end segment response.
#include "Epls/CDecodedSsdoUploadEndSegmentResponse.h"

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/Id.h"
#include "Epls/SsdoSodAccessCommand.h"

namespace Epls
{
bool CDecodedSsdoUploadEndSegmentResponse::IsDecodedSsdoUploadEndSegmentResponse(std::uint16_t frameLength,
                                                                                 const std::uint8_t* frame)
{
    const std::uint8_t id = GetId(frameLength, frame);
    if ((id != Id::SsdoServiceResponse) && (id != Id::SsdoServiceResponseSlim))
    {
        return false;
    }
    switch (GetSsdoSodAccessCommand(frameLength, frame))
    {
    case SsdoSodAccessCommand::UploadEndSegmentEven:
    case SsdoSodAccessCommand::UploadEndSegmentOdd:
    case SsdoSodAccessCommand::UploadEndSegmentWithPreloadEven:
    case SsdoSodAccessCommand::UploadEndSegmentWithPreloadOdd:
        return true;
    default:
        return false;
    }
}

void CDecodedSsdoUploadEndSegmentResponse::Accept(CDecodedFrameVisitor& visitor) const
{
    visitor.VisitSsdoUploadEndSegmentResponse(*this);
}

std::uint16_t CDecodedSsdoUploadEndSegmentResponse::GetSafetyAddress() const
{
    return GetTadr();
}

const std::uint8_t* CDecodedSsdoUploadEndSegmentResponse::GetParameterData() const
{
    return GetDbs() + ms_PayloadDbOffset;
}

std::uint8_t CDecodedSsdoUploadEndSegmentResponse::GetParameterDataLength() const
{
    return static_cast<std::uint8_t>(GetLe() - ms_PayloadDbOffset);
}
} // namespace Epls
