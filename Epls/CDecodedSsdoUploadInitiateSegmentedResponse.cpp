// SSDO upload, initiate segmented response.
#include "Epls/CDecodedSsdoUploadInitiateSegmentedResponse.h"

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/Id.h"
#include "Epls/SsdoSodAccessCommand.h"
#include "Util/ByteOrder.h"

namespace Epls
{
bool CDecodedSsdoUploadInitiateSegmentedResponse::IsDecodedSsdoUploadInitiateSegmentedResponse(
    std::uint16_t frameLength, const std::uint8_t* frame)
{
    const std::uint8_t id = GetId(frameLength, frame);
    if ((id != Id::SsdoServiceResponse) && (id != Id::SsdoServiceResponseSlim))
    {
        return false;
    }
    switch (GetSsdoSodAccessCommand(frameLength, frame))
    {
    case SsdoSodAccessCommand::UploadInitiateSegmented:
    case SsdoSodAccessCommand::UploadInitiateSegmentedWithPreload:
        return true;
    default:
        return false;
    }
}

void CDecodedSsdoUploadInitiateSegmentedResponse::Accept(CDecodedFrameVisitor& visitor) const
{
    visitor.VisitSsdoUploadInitiateSegmentedResponse(*this);
}

std::uint16_t CDecodedSsdoUploadInitiateSegmentedResponse::GetSafetyAddress() const
{
    return GetTadr();
}

std::uint16_t CDecodedSsdoUploadInitiateSegmentedResponse::GetIndex() const
{
    return Util::GetLittleEndianUInt16(GetDbs(), ms_IndexDbOffset);
}

std::uint8_t CDecodedSsdoUploadInitiateSegmentedResponse::GetSubIndex() const
{
    return GetDbs()[ms_SubIndexDbOffset];
}

const std::uint8_t* CDecodedSsdoUploadInitiateSegmentedResponse::GetParameterData() const
{
    return GetDbs() + ms_PayloadDbOffset;
}

std::uint8_t CDecodedSsdoUploadInitiateSegmentedResponse::GetParameterDataLength() const
{
    return static_cast<std::uint8_t>(GetLe() - ms_PayloadDbOffset);
}
} // namespace Epls
